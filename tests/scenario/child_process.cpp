#include "child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

extern char** environ;

namespace {

struct Pipe {
  int fd[2] = {-1, -1};
  Pipe() {
    if (pipe2(fd, O_CLOEXEC) != 0) fd[0] = fd[1] = -1;
  }
  ~Pipe() { CloseBoth(); }
  void Close(int end) {
    if (fd[end] >= 0) close(fd[end]);
    fd[end] = -1;
  }
  void CloseBoth() {
    Close(0);
    Close(1);
  }
};

}  // namespace

ChildResult RunChild(const std::string& program, const std::vector<std::string>& args,
                     const std::map<std::string, std::string>& env, const std::string& input,
                     int inputFd, int outputFd) {
  ChildResult result;
  Pipe in, out, err;
  if (in.fd[0] < 0 || out.fd[0] < 0 || err.fd[0] < 0) return result;

  std::vector<std::string> environment;
  for (char** e = environ; *e; ++e) {
    std::string entry = *e;
    std::string name = entry.substr(0, entry.find('='));
    if (!env.count(name) && name != "QUARIX_TEXT") environment.push_back(entry);
  }
  for (const auto& [name, value] : env) environment.push_back(name + "=" + value);
  // The programs' expectations are the byte model's unless a test asks for UTF-8 text: a
  // UTF-8 locale of the machine must not change them.
  if (!env.count("QUARIX_TEXT")) environment.push_back("QUARIX_TEXT=bytes");
  std::vector<char*> envp, argv;
  for (std::string& entry : environment) envp.push_back(entry.data());
  envp.push_back(nullptr);
  std::vector<std::string> allArgs = {program};
  allArgs.insert(allArgs.end(), args.begin(), args.end());
  for (std::string& arg : allArgs) argv.push_back(arg.data());
  argv.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, inputFd >= 0 ? inputFd : in.fd[0], 0);
  posix_spawn_file_actions_adddup2(&actions, outputFd >= 0 ? outputFd : out.fd[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err.fd[1], 2);
  pid_t pid = -1;
  int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  in.Close(0);
  out.Close(1);
  err.Close(1);
  if (spawned != 0) return result;

  // The input is small: it fits the pipe, and closing it tells the child it ended.
  signal(SIGPIPE, SIG_IGN);
  if (!input.empty() && write(in.fd[1], input.data(), input.size()) < 0) {
  }
  in.Close(1);

  pollfd fds[2] = {{out.fd[0], POLLIN, 0}, {err.fd[0], POLLIN, 0}};
  std::string* sinks[2] = {&result.out, &result.err};
  int open = 2;
  while (open > 0) {
    if (poll(fds, 2, -1) < 0) break;
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      char buffer[4096];
      ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
      if (got > 0) {
        sinks[i]->append(buffer, static_cast<std::size_t>(got));
      } else {
        fds[i].fd = -1;
        --open;
      }
    }
  }
  int status = 0;
  if (waitpid(pid, &status, 0) == pid && WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
  return result;
}
