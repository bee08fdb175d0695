#include "index/entry_spill.h"
#include "files/input_file.h"
#include "files/temporary_file.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <type_traits>

namespace {

// An entry as the spill holds it: its thread's index, then its bytes as they
// are in memory, read back by this same process.
static_assert(std::is_trivially_copyable_v<ReadEntry>);

constexpr size_t SPILL_BUFFER = 1 << 16;

void LetGo(EntrySpill &spill) {
    for (File &file : spill.files) {
        file.reset();
    }
}

void Spill(void *state, const ReportFacts &facts, size_t thread, const ReadEntry &entry) {
    EntrySpill &spill = *static_cast<EntrySpill *>(state);
    File &file = spill.files[ThreadInRun(facts, thread) - 1];
    uint64_t index = thread;
    if (spill.files[0] != nullptr && (fwrite(&index, sizeof index, 1, file.get()) != 1 ||
                                      fwrite(&entry, sizeof entry, 1, file.get()) != 1)) {
        LetGo(spill);
    }
}

} // namespace

EntryWatcher SpillWatcher(EntrySpill &spill) {
    std::string error;
    for (File &file : spill.files) {
        file.reset(OpenTemporaryFile(error));
        if (file == nullptr) {
            LetGo(spill);
            break;
        }
        setvbuf(file.get(), nullptr, _IOFBF, SPILL_BUFFER);
    }
    return {Spill, &spill};
}

void FinishSpill(EntrySpill &spill) {
    for (File &file : spill.files) {
        if (file != nullptr && fflush(file.get()) != 0) {
            LetGo(spill);
        }
    }
}

bool CanReadSpilled(const EntrySpill &spill, const ReportFacts &facts, size_t run) {
    return spill.files[0] != nullptr && facts.readable && run < facts.runs.size() &&
           facts.runs[run].problems == 0;
}

void OpenSpillCursor(SpillCursor &cursor, const EntrySpill &spill, const ReportFacts &facts,
                     size_t thread) {
    cursor.file = spill.files[ThreadInRun(facts, thread) - 1].get();
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
    uint64_t thread;
    while (cursor.left > 0 && !cursor.failed) {
        // Read in place: an entry of another run's thread is read over.
        if (fread(&thread, sizeof thread, 1, cursor.file) != 1 ||
            fread(&entry, sizeof entry, 1, cursor.file) != 1) {
            cursor.error = ferror(cursor.file) ? errno : 0;
            return Failed(cursor, problem);
        }
        if (thread == cursor.thread) {
            cursor.left--;
            return CursorStatus::Entry;
        }
    }
    return cursor.failed ? Failed(cursor, problem) : CursorStatus::End;
}
