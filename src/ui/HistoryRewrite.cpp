#include "ui/HistoryRewrite.h"

#include <algorithm>

#include "history/BufferChecker.h"
#include "ui/DocumentView.h"
#include "ui/RowModel.h"

namespace tarnwick::history {

void rewriteFromRows(BufferChecker& engine, const DocumentView& rows, bool entryZeroToo) {
    const int n = rows.count();
    // Row and history counts agree by construction; never index past either.
    const int entries = std::min(n / 2, static_cast<int>(engine.bufferArray.size()));
    if (entryZeroToo && entries > 0) {
        engine.pauseUpdates();
        engine.bufferArray[0] = rows.at(rowmodel::copiedPosition(n, 1))->stringValue();
        engine.writeEntryZeroToPasteboard();
        engine.resumeUpdates();
    }
    for (int i = 1; i < entries; ++i) {
        engine.bufferArray[i] = rows.at(rowmodel::copiedPosition(n, i + 1))->stringValue();
    }
    engine.publish();
}

}  // namespace tarnwick::history
