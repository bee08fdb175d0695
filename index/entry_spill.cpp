#include "index/entry_spill.h"
#include "files/input_file.h"
#include "files/temporary_file.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <type_traits>

namespace {

// An entry as the spill holds it: its bytes as they are in memory, read
// back by this same process.
struct SpilledEntry {
    uint64_t thread;
    ReadEntry entry;
};
static_assert(std::is_trivially_copyable_v<SpilledEntry>);

constexpr size_t SPILL_BUFFER = 1 << 18;

void Spill(void *state, const ReportFacts &, size_t thread, const ReadEntry &entry) {
    EntrySpill &spill = *static_cast<EntrySpill *>(state);
    if (spill.file == nullptr) {
        return;
    }
    SpilledEntry record = {thread, entry};
    if (fwrite(&record, sizeof record, 1, spill.file.get()) != 1) {
        spill.file.reset();
        return;
    }
    spill.entries++;
}

} // namespace

EntryWatcher SpillWatcher(EntrySpill &spill) {
    std::string error;
    spill.file.reset(OpenTemporaryFile(error));
    spill.entries = 0;
    if (spill.file != nullptr) {
        setvbuf(spill.file.get(), nullptr, _IOFBF, SPILL_BUFFER);
    }
    return {Spill, &spill};
}

void FinishSpill(EntrySpill &spill) {
    if (spill.file != nullptr && fflush(spill.file.get()) != 0) {
        spill.file.reset();
    }
}

bool CanReadSpilled(const EntrySpill &spill, const ReportFacts &facts, size_t run) {
    return spill.file != nullptr && facts.readable && run < facts.runs.size() &&
           facts.runs[run].problems == 0;
}

void OpenSpillCursor(SpillCursor &cursor, const EntrySpill &spill, const ReportFacts &facts,
                     size_t thread) {
    cursor.file = spill.file.get();
    cursor.thread = thread;
    cursor.left = facts.threads[thread].entries;
    cursor.failed = !SeekInputFile(cursor.file, 0);
    cursor.error = cursor.failed ? errno : 0;
}

static CursorStatus Failed(SpillCursor &cursor, ReadProblem &problem) {
    problem = {};
    problem.reason = cursor.error != 0 ? std::string("read error: ") + strerror(cursor.error)
                                       : "read error: a scratch file was cut short";
    cursor.failed = true;
    return CursorStatus::Failed;
}

CursorStatus NextSpilledEntry(SpillCursor &cursor, ReadEntry &entry, ReadProblem &problem) {
    SpilledEntry record;
    while (cursor.left > 0 && !cursor.failed) {
        if (fread(&record, sizeof record, 1, cursor.file) != 1) {
            cursor.error = ferror(cursor.file) ? errno : 0;
            return Failed(cursor, problem);
        }
        if (record.thread == cursor.thread) {
            cursor.left--;
            entry = record.entry;
            return CursorStatus::Entry;
        }
    }
    return cursor.failed ? Failed(cursor, problem) : CursorStatus::End;
}
