#pragma once

namespace tarnwick {

class BufferChecker;
class DocumentView;

// After rows moved or left, the history must mirror them again: entry i is the
// text of row i + 1.
namespace history {

// Rewrites entries 1 and beyond from the rows. When entryZeroToo, entry 0 is
// rewritten as well and put on the clipboard, with polling paused around both
// so the polling thread never takes our own write for a new copy.
void rewriteFromRows(BufferChecker& engine, const DocumentView& rows, bool entryZeroToo);

}  // namespace history
}  // namespace tarnwick
