// Files reach the matchers that take pieces in pieces read one after the other into a
// buffer that stays in the processor's cache: no file is read further than its answer
// (a frequent text is mostly found in the first piece), and a large one is not mapped,
// which costs a page fault every few pages, a long unmapping, and a scan through memory
// the cache never holds.
#include <cstring>
#include <vector>

#include "filesearch/match_context.h"
#include "filesearch/matchers.h"

int ScanInPieces(MatchContext& context, platform::File& file, std::uint64_t size,
                 PieceMatcher matcher, bool* tooLong, std::size_t pieceSize,
                 std::size_t longestPiece) {
  *tooLong = false;
  // Kept from file to file; cut back after a file that needed a longer piece.
  std::vector<unsigned char>& pieceBuffer = context.pieceBuffer;
  if (pieceBuffer.size() != pieceSize) {
    pieceBuffer.clear();
    pieceBuffer.shrink_to_fit();
    pieceBuffer.resize(pieceSize);
  }
  std::size_t kept = 0;       // bytes of the last piece the matcher still needs
  std::uint64_t left = size;  // the file is read up to the size it had when opened
  int undecided = 0;
  // A first short piece answers for most files a frequent text is in; the longer pieces
  // after it cost fewer calls per byte.
  std::size_t end = pieceSize < kFirstPiece ? pieceSize : kFirstPiece;
  for (;;) {
    const std::size_t room = end - kept;
    const std::uint64_t wanted = left < room ? left : room;
    const std::int64_t got = wanted > 0 ? file.Read(pieceBuffer.data() + kept, wanted) : 0;
    if (got < 0) return 0;
    left -= static_cast<std::uint64_t>(got);
    const std::size_t count = kept + static_cast<std::size_t>(got);
    // A file cut short since it was opened ends where reading it ends.
    const bool moreFollows = got > 0 && left > 0;
    // After a final line end nothing is left to test: no empty line follows it.
    if (count == 0) return undecided;
    std::size_t keepFrom = count;
    const int answer = matcher(context, pieceBuffer.data(), count, moreFollows, &keepFrom);
    if (answer > 0) return 1;
    if (context.Stopped() || context.PollWithinFile()) return 0;
    // A piece the engine gave up on leaves the answer open, for a later match to settle.
    if (answer < 0 && undecided == 0) undecided = answer;
    if (!moreFollows) return undecided;
    kept = count - keepFrom;
    if (keepFrom == 0 && end == pieceBuffer.size()) {
      // Not even one unit the matcher can decide on fits (a line longer than the buffer):
      // the buffer grows, up to a limit.
      if (pieceBuffer.size() * 2 > longestPiece) {
        *tooLong = true;
        return 0;
      }
      pieceBuffer.resize(pieceBuffer.size() * 2);
    }
    std::memmove(pieceBuffer.data(), pieceBuffer.data() + keepFrom, kept);
    end = pieceBuffer.size();
  }
}
