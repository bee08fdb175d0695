#include "index/cursor_ahead.h"

static bool Ends(CursorStatus status) {
    return status == CursorStatus::End || status == CursorStatus::Failed;
}

static void ReadAhead(CursorAhead &ahead) {
    for (;;) {
        {
            std::unique_lock<std::mutex> held(ahead.lock);
            ahead.changed.wait(held, [&] {
                return ahead.abandoned || ahead.read - ahead.taken < CURSOR_AHEAD_ENTRIES;
            });
            if (ahead.abandoned) {
                return;
            }
        }
        // Only this thread writes the slot at `read` until it is counted in.
        CursorAheadSlot &slot = ahead.slots[ahead.read % CURSOR_AHEAD_ENTRIES];
        slot.status = NextThreadEntry(ahead.cursor, slot.entry, slot.problem);
        bool ended = Ends(slot.status);
        {
            std::lock_guard<std::mutex> held(ahead.lock);
            ahead.read++;
            ahead.done = ended;
        }
        ahead.changed.notify_all();
        if (ended) {
            return;
        }
    }
}

void StartCursorAhead(CursorAhead &ahead, FILE *file, const ReportThread &thread) {
    OpenThreadCursor(ahead.cursor, file, thread);
    ahead.taken = ahead.read = 0;
    ahead.done = ahead.abandoned = false;
    ahead.reader = std::thread(ReadAhead, std::ref(ahead));
}

CursorStatus NextAheadEntry(CursorAhead &ahead, ReadEntry &entry, ReadProblem &problem) {
    std::unique_lock<std::mutex> held(ahead.lock);
    ahead.changed.wait(held, [&] { return ahead.taken < ahead.read; });
    CursorAheadSlot &slot = ahead.slots[ahead.taken % CURSOR_AHEAD_ENTRIES];
    CursorStatus status = slot.status;
    // The last slot is kept, so that End or Failed is given again.
    if (ahead.done && ahead.taken + 1 == ahead.read) {
        entry = slot.entry;
        problem = slot.problem;
        return status;
    }
    held.unlock();
    entry = slot.entry;
    problem = std::move(slot.problem);
    held.lock();
    ahead.taken++;
    held.unlock();
    ahead.changed.notify_all();
    return status;
}

void StopCursorAhead(CursorAhead &ahead) {
    if (!ahead.reader.joinable()) {
        return;
    }
    {
        std::lock_guard<std::mutex> held(ahead.lock);
        ahead.abandoned = true;
    }
    ahead.changed.notify_all();
    ahead.reader.join();
}

CursorAhead::~CursorAhead() {
    StopCursorAhead(*this);
}
