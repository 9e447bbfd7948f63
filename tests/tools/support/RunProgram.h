// Runs a tool as a script would: arguments, standard input, output, error
// output and exit status.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

extern char** environ;

struct Outcome {
  int status = -1;  // the exit status; -1 when the program did not exit by itself
  std::string out;
  std::string err;
};

// Runs `program` to its end (killed after 30 s), feeding `input` on standard
// input; with `stdinFd` >= 0 that descriptor is its standard input instead.
inline Outcome RunProgram(const std::string& program, const std::vector<std::string>& args,
                          const std::string& input = "", int stdinFd = -1) {
  int in[2], out[2], err[2];
  if (pipe(in) != 0 || pipe(out) != 0 || pipe(err) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, stdinFd >= 0 ? stdinFd : in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  posix_spawn_file_actions_adddup2(&actions, err[1], 2);
  for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) {
    posix_spawn_file_actions_addclose(&actions, fd);
  }
  std::vector<std::string> all = {program};
  all.insert(all.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : all) argv.push_back(a.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(in[0]);
  close(out[1]);
  close(err[1]);
  Outcome outcome;
  if (spawned != 0) return outcome;

  fcntl(in[1], F_SETFL, O_NONBLOCK);
  std::size_t written = 0;
  if (input.empty()) close(in[1]);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  bool outOpen = true, errOpen = true, inOpen = !input.empty();
  while ((outOpen || errOpen) && std::chrono::steady_clock::now() < deadline) {
    pollfd fds[3] = {{outOpen ? out[0] : -1, POLLIN, 0},
                     {errOpen ? err[0] : -1, POLLIN, 0},
                     {inOpen ? in[1] : -1, POLLOUT, 0}};
    poll(fds, 3, 100);
    char buffer[4096];
    for (int i = 0; i < 2; ++i) {
      if (!(fds[i].revents & (POLLIN | POLLHUP))) continue;
      ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        (i == 0 ? outcome.out : outcome.err).append(buffer, n);
      } else {
        (i == 0 ? outOpen : errOpen) = false;
      }
    }
    if (inOpen && (fds[2].revents & (POLLOUT | POLLERR))) {
      ssize_t n = write(in[1], input.data() + written, input.size() - written);
      if (n > 0) written += n;
      if (n < 0 || written == input.size()) {
        close(in[1]);
        inOpen = false;
      }
    }
  }
  if (inOpen) close(in[1]);
  if (outOpen || errOpen) kill(pid, SIGKILL);
  close(out[0]);
  close(err[0]);
  int wstatus = 0;
  waitpid(pid, &wstatus, 0);
  outcome.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
  return outcome;
}

// A program left running in the background, its standard output read line
// by line; ended with SIGTERM when dropped.
class BackgroundProgram {
 public:
  BackgroundProgram(const std::string& program, const std::vector<std::string>& args) {
    int out[2];
    if (pipe(out) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    posix_spawn_file_actions_addclose(&actions, out[1]);
    std::vector<std::string> all = {program};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ) != 0)
      pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    out_ = out[0];
  }
  ~BackgroundProgram() {
    Stop();
    if (out_ >= 0) close(out_);
  }
  BackgroundProgram(const BackgroundProgram&) = delete;
  BackgroundProgram& operator=(const BackgroundProgram&) = delete;

  // Reads standard output until it holds `text`; false when 10 s passed or
  // the output ended first.
  bool WaitForOutput(const std::string& text) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (output_.find(text) == std::string::npos) {
      if (std::chrono::steady_clock::now() >= deadline) return false;
      pollfd watched{out_, POLLIN, 0};
      if (poll(&watched, 1, 100) <= 0) continue;
      char buffer[1024];
      const ssize_t n = read(out_, buffer, sizeof buffer);
      if (n <= 0) return false;
      output_.append(buffer, n);
    }
    return true;
  }

  // Ends the program with SIGTERM; its exit status, -1 when it did not exit.
  int Stop() {
    if (pid_ <= 0) return status_;
    kill(pid_, SIGTERM);
    int wstatus = 0;
    waitpid(pid_, &wstatus, 0);
    pid_ = -1;
    status_ = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
    return status_;
  }

 private:
  pid_t pid_ = -1;
  int out_ = -1;
  int status_ = -1;
  std::string output_;
};
