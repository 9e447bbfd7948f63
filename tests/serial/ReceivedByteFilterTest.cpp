#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "serial/posix/PosixBackend.h"

namespace {

using Rules = ReceivedByteFilter::Rules;

// Feeds the chunks one read at a time, as the tty hands them out.
std::string FilterChunks(const Rules& rules, const std::vector<std::string>& chunks) {
  ReceivedByteFilter filter;
  filter.SetRules(rules);
  std::string delivered;
  for (std::string chunk : chunks) {
    auto* bytes = reinterpret_cast<std::uint8_t*>(chunk.data());
    delivered.append(chunk.data(), filter.Filter(bytes, static_cast<std::int32_t>(chunk.size())));
  }
  return delivered;
}

struct FilterCase {
  const char* what;
  Rules rules;
  std::vector<std::string> chunks;
  std::string delivered;
};

TEST(ReceivedByteFilter, DeliversWhatTheDeviceSent) {
  using namespace std::string_literals;
  const Rules plain{};
  const Rules dropNull{false, false, 0, true};
  const Rules marked{true, false, 0, false};
  const Rules replaced{true, true, '?', false};
  const Rules replacedByNull{true, true, 0, true};
  const FilterCase cases[] = {
      {"every byte unchanged", plain, {"\x00\xff\x11\x13\x03"s}, "\x00\xff\x11\x13\x03"s},
      {"zero bytes dropped", dropNull, {"a\0b\0\0"s}, "ab"},
      {"doubled 0xFF is one 0xFF",
       marked,
       {"a\xff\xff"s
        "b"},
       "a\xff"s
       "b"},
      {"damaged byte kept as received",
       marked,
       {"a\xff\x00X"s
        "b"},
       "aXb"},
      {"damaged byte replaced",
       replaced,
       {"a\xff\x00X"s
        "b"},
       "a?b"},
      {"mark split across reads",
       replaced,
       {"a\xff"s, "\x00"s, "X", "b\xff"s, "\xff"s},
       "a?b\xff"s},
      {"break reads as zero",
       marked,
       {"\xff\x00\x00"s
        "c"},
       "\0c"s},
      {"replacement zero dropped",
       replacedByNull,
       {"\xff\x00X"s
        "\0d"s},
       "d"},
  };
  for (const FilterCase& c : cases)
    EXPECT_EQ(FilterChunks(c.rules, c.chunks), c.delivered) << c.what;
}

TEST(ReceivedByteFilter, ResetForgetsACutMark) {
  ReceivedByteFilter filter;
  filter.SetRules({true, true, '?', false});
  std::uint8_t cut[] = {'a', 0xFF};
  EXPECT_EQ(filter.Filter(cut, 2), 1);
  filter.Reset();  // the rest of the mark was discarded with the input queue
  std::uint8_t next[] = {0xFF, 0xFF, 'b'};
  ASSERT_EQ(filter.Filter(next, 3), 2);
  EXPECT_EQ(next[0], 0xFF);
  EXPECT_EQ(next[1], 'b');
}

}  // namespace
