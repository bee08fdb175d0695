#include "render/page_sample.h"

bool PairDiffers(const PagePair &pair) {
    return !pair.facts.empty() || !pair.hasA || !pair.hasB;
}

static void Begin(void *state, const DiffResult &result) {
    PageSample &sample = *static_cast<PageSample *>(state);
    sample = {};
    sample.rows = result.rows.size();
}

// A row's share of the pairs that differ: what earlier rows left, shared
// out among this row and those after it.
static void StartRow(PageSample &sample, size_t row) {
    sample.row = row;
    sample.rowReached = false;
    sample.rowShare = (PAGE_DIFFERING_MAX - sample.differingKept) / (sample.rows - (row - 1));
}

static void Pair(void *state, const DiffResult &, const EntryPair &pair) {
    PageSample &sample = *static_cast<PageSample *>(state);
    if (pair.entry == 0) {
        return; // a row's count of entries: the table of threads shows it
    }
    if (pair.row != sample.row) {
        StartRow(sample, pair.row);
    }
    bool differs = pair.count > 0 || pair.a == nullptr || pair.b == nullptr;
    bool whole = sample.pairs.size() < PAGE_PAIRS_WHOLE;
    bool reachesRow = differs && !sample.rowReached;
    bool inShare = differs && sample.rowShare > 0;
    if (!whole && !reachesRow && !inShare) {
        sample.leftOut[differs ? 0 : 1]++;
        return;
    }
    if (differs) {
        if (reachesRow) {
            sample.rowReached = true;
        } else if (!whole) {
            sample.rowShare--;
            sample.differingKept++;
        }
    }
    PagePair kept = {pair.row, pair.entry, whole, pair.a != nullptr, pair.b != nullptr, {},
                     {},       {},         {}};
    if (pair.a != nullptr) {
        kept.a = *pair.a;
    }
    if (pair.b != nullptr) {
        kept.b = *pair.b;
    }
    for (size_t i = 0; i < pair.count; i++) {
        kept.facts.push_back(pair.differences[i].fact);
        kept.known.push_back(pair.differences[i].known);
    }
    sample.pairs.push_back(std::move(kept));
}

static void RowEnd(void *, const DiffResult &, size_t) {}

DiffSink PageSampleSink(PageSample &sample) {
    return {&sample, Begin, Pair, RowEnd};
}
