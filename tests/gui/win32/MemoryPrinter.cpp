#include "tests/gui/win32/MemoryPrinter.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace {

class MemoryPrinter : public SerialBackend {
 public:
  explicit MemoryPrinter(PrinterState& state) : state_(state) {}

  int Open(const std::string& portName) override {
    state_.opened.push_back(portName);
    if (state_.openFails) return ERROR_FILE_NOT_FOUND;
    open_ = true;
    return 0;
  }
  int Close() override {
    open_ = false;
    return 0;
  }
  bool IsOpen() const override { return open_; }
  int SetQueueSizes(std::int32_t, std::int32_t) override { return 0; }
  int SetLineSettings(const SerialLineSettings&) override { return 0; }
  int SetTimeouts(const SerialTimeouts&) override { return 0; }
  int ReadModemStatus() override { return 0; }
  int Purge(bool input, bool) override {
    if (input) pending_.clear();
    return 0;
  }

  int Write(const void* buffer, std::int32_t count, std::int32_t& transferred) override {
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    written_.insert(written_.end(), bytes, bytes + count);
    transferred = count;
    AnswerWholeFrames();
    return 0;
  }

  // Nothing pending reads as a silent line whose time-out has passed.
  int Read(void* buffer, std::int32_t count, std::int32_t& transferred) override {
    transferred = static_cast<std::int32_t>(std::min<std::size_t>(pending_.size(), count));
    std::memcpy(buffer, pending_.data(), static_cast<std::size_t>(transferred));
    pending_.erase(pending_.begin(), pending_.begin() + transferred);
    return 0;
  }

 private:
  void AnswerWholeFrames() {
    for (;;) {
      auto start = std::find(written_.begin(), written_.end(), sim::kStx);
      auto end = std::find(start, written_.end(), sim::kEtx);
      if (end == written_.end()) return;
      const sim::Request request = sim::ParseRequest(sim::Bytes(start, end + 1));
      written_.erase(written_.begin(), end + 1);
      state_.requests.push_back(request);
      const sim::Bytes reply =
          sim::BuildReply(request.sequence, request.command, ReplyData(request), state_.status);
      pending_.insert(pending_.end(), reply.begin(), reply.end());
    }
  }

  std::string ReplyData(const sim::Request& request) {
    switch (request.command) {
      case 62:
        return state_.clock;
      case 83:
        return "0,0," + state_.mask;
      case 97: {
        std::string list;
        for (std::size_t i = 0; i < state_.rates.size(); ++i)
          list += (i ? "," : "") + state_.rates[i];
        return list;
      }
      default:
        return "";
    }
  }

  PrinterState& state_;
  bool open_ = false;
  sim::Bytes written_;
  sim::Bytes pending_;
};

}  // namespace

int PrinterState::CountOf(int command) const {
  return static_cast<int>(std::count_if(requests.begin(), requests.end(),
                                        [command](const auto& r) { return r.command == command; }));
}

std::string PrinterState::LastDataOf(int command) const {
  for (auto it = requests.rbegin(); it != requests.rend(); ++it) {
    if (it->command == command) return it->data;
  }
  return "<none>";
}

std::unique_ptr<SerialBackend> MakeMemoryPrinter(PrinterState& state) {
  return std::make_unique<MemoryPrinter>(state);
}
