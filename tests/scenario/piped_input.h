// Standard input replaced by a pipe, as keys typed ahead on a console would wait.
#pragma once

#include <unistd.h>

#include <string>

namespace scenario {

// Standard input replaced by a pipe holding the given bytes, for the scope of a test.
class PipedInput {
 public:
  explicit PipedInput(const std::string& bytes) {
    int fds[2];
    if (pipe(fds) != 0) return;
    if (write(fds[1], bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
      close(fds[0]);
      close(fds[1]);
      return;
    }
    close(fds[1]);
    saved_ = dup(0);
    dup2(fds[0], 0);
    close(fds[0]);
  }
  ~PipedInput() {
    if (saved_ < 0) return;
    dup2(saved_, 0);
    close(saved_);
  }
  bool ok() const { return saved_ >= 0; }
  PipedInput(const PipedInput&) = delete;
  PipedInput& operator=(const PipedInput&) = delete;

 private:
  int saved_ = -1;
};

}  // namespace scenario
