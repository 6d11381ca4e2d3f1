// Runs a program as a child process with the given input, environment additions and
// arguments, and collects its exit status and both outputs.
#pragma once

#include <map>
#include <string>
#include <vector>

struct ChildResult {
  int exitCode = -1;  // -1 when the child did not exit normally
  std::string out;
  std::string err;
};

// With inputFd set, the child reads that descriptor (a terminal, say) instead of input;
// with outputFd set, it writes its standard output there (and out stays empty).
ChildResult RunChild(const std::string& program, const std::vector<std::string>& args,
                     const std::map<std::string, std::string>& env, const std::string& input = "",
                     int inputFd = -1, int outputFd = -1);
