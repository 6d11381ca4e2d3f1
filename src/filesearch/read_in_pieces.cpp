// Files reach the matchers that take pieces in pieces read one after the other into a
// buffer that stays in the processor's cache: no file is read further than its answer
// (a frequent text is mostly found in the first piece), and a large one is not mapped,
// which costs a page fault every few pages, a long unmapping, and a scan through memory
// the cache never holds. A file with a byte order mark is decoded piece by piece on the
// way, never held whole.
#include <cstring>
#include <vector>

#include "common/text_model.h"
#include "filesearch/file_encoding.h"
#include "filesearch/match_context.h"
#include "filesearch/matchers.h"

namespace {

// Text room below which a decoded piece may not make progress (a unit gives up to four
// bytes): the piece then grows.
constexpr std::size_t kLeastDecodedRoom = 16;

// Where the pieces' bytes come from: the file as it is, or, once its first bytes showed a
// byte order mark, its text decoded from bytes read into a buffer of their own.
class PieceSource {
 public:
  PieceSource(platform::File& file, std::uint64_t size, std::vector<unsigned char>& undecoded)
      : file_(file), left_(size), undecoded_(undecoded) {}

  // Up to room bytes into to; 0 only at the end; -1 on a read error.
  std::int64_t Read(unsigned char* to, std::size_t room) {
    return decoding_ ? ReadText(to, room) : ReadBytes(to, room);
  }
  // After a Read that gave got: whether more follows. A file cut short since it was opened
  // ends where reading it ends.
  bool MoreFollows(std::int64_t got) const {
    if (!decoding_) return got > 0 && left_ > 0;
    return !ended_ || start_ < end_;
  }
  std::size_t LeastRoom() const { return decoding_ ? kLeastDecodedRoom : 1; }
  // Looks at the file's first count bytes, read into piece: with a byte order mark they
  // become the first bytes to decode, and true is returned.
  bool StartDecoding(const unsigned char* piece, std::size_t count, std::size_t pieceSize) {
    const FileEncoding encoding = DetectByteOrderMark(piece, count);
    if (encoding.IsAsIs()) return false;
    transcoder_ = Transcoder{encoding, TextIsUtf8()};
    decoding_ = true;
    if (undecoded_.size() != pieceSize) {
      undecoded_.clear();
      undecoded_.shrink_to_fit();
      undecoded_.resize(pieceSize);
    }
    start_ = 0;
    end_ = count - encoding.bomLength;
    std::memcpy(undecoded_.data(), piece + encoding.bomLength, end_);
    ended_ = left_ == 0;
    return true;
  }

 private:
  std::int64_t ReadBytes(unsigned char* to, std::size_t room) {
    const std::uint64_t wanted = left_ < room ? left_ : room;
    const std::int64_t got = wanted > 0 ? file_.Read(to, wanted) : 0;
    if (got > 0) left_ -= static_cast<std::uint64_t>(got);
    return got;
  }

  // The most file bytes whose text surely fits room bytes.
  std::size_t BytesFitting(std::size_t room) const {
    std::size_t n = room / 3;
    while (n > 0 && MaxTextSize(transcoder_, n) > room) n -= n > 8 ? n / 8 : 1;
    return n;
  }

  std::int64_t ReadText(unsigned char* to, std::size_t room) {
    std::size_t total = 0;
    while (room - total >= kLeastDecodedRoom) {
      const std::size_t available = end_ - start_;
      const std::size_t fitting = BytesFitting(room - total);
      const std::size_t n = available < fitting ? available : fitting;
      std::size_t taken = 0;
      total += DecodeText(transcoder_, undecoded_.data() + start_, n, ended_ && n == available,
                          to + total, &taken);
      start_ += taken;
      if (taken > 0) continue;
      if (n < available || ended_) break;
      // What is left ends inside a unit: it goes to the buffer's front, more is read after it.
      std::memmove(undecoded_.data(), undecoded_.data() + start_, available);
      start_ = 0;
      end_ = available;
      const std::size_t space = undecoded_.size() - end_;
      const std::uint64_t wanted = left_ < space ? left_ : space;
      const std::int64_t got = wanted > 0 ? file_.Read(undecoded_.data() + end_, wanted) : 0;
      if (got < 0) return -1;
      if (got == 0) ended_ = true;
      left_ -= static_cast<std::uint64_t>(got);
      end_ += static_cast<std::size_t>(got);
      if (left_ == 0) ended_ = true;
    }
    return static_cast<std::int64_t>(total);
  }

  platform::File& file_;
  std::uint64_t left_;  // the file is read up to the size it had when opened
  std::vector<unsigned char>& undecoded_;
  bool decoding_ = false;
  Transcoder transcoder_;
  std::size_t start_ = 0;  // the bytes read but not decoded: [start_, end_) of undecoded_
  std::size_t end_ = 0;
  bool ended_ = false;  // nothing more will be read from the file
};

}  // namespace

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
  PieceSource source(file, size, context.undecodedPiece);
  std::size_t kept = 0;  // bytes of the last piece the matcher still needs
  int undecided = 0;
  bool first = true;
  // A first short piece answers for most files a frequent text is in; the longer pieces
  // after it cost fewer calls per byte.
  std::size_t end = pieceSize < kFirstPiece ? pieceSize : kFirstPiece;
  for (;;) {
    std::int64_t got = source.Read(pieceBuffer.data() + kept, end - kept);
    if (got < 0) return 0;
    // The byte order mark is looked for in the bytes the first read brought anyway.
    if (first) {
      first = false;
      if (source.StartDecoding(pieceBuffer.data(), static_cast<std::size_t>(got), pieceSize)) {
        if (end < kLeastDecodedRoom) {
          if (pieceBuffer.size() < kLeastDecodedRoom) pieceBuffer.resize(kLeastDecodedRoom);
          end = pieceBuffer.size();
        }
        got = source.Read(pieceBuffer.data(), end);
        if (got < 0) return 0;
      }
    }
    const std::size_t count = kept + static_cast<std::size_t>(got);
    const bool moreFollows = source.MoreFollows(got);
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
    const bool tooFull = keepFrom == 0 || pieceBuffer.size() - kept < source.LeastRoom();
    if (tooFull && end == pieceBuffer.size()) {
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
