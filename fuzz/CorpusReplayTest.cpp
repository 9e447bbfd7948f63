// Replays every input of a fuzzer's corpus through the fuzzer's own checks,
// so the ordinary test suite (and its sanitizer build) keeps each reply that
// once mattered, without clang.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* input, std::size_t size);

namespace {

namespace fs = std::filesystem;

std::vector<std::string> CorpusFiles() {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(FP_CORPUS_DIR)) {
    if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class Corpus : public ::testing::TestWithParam<std::string> {};

TEST_P(Corpus, KeepsEveryInvariant) {
  std::ifstream in(fs::path(FP_CORPUS_DIR) / GetParam(), std::ios::binary);
  ASSERT_TRUE(in) << GetParam();
  const std::vector<std::uint8_t> input{std::istreambuf_iterator<char>(in),
                                        std::istreambuf_iterator<char>()};
  // A broken invariant stops the process with its description.
  EXPECT_EQ(LLVMFuzzerTestOneInput(input.data(), input.size()), 0);
}

std::string TestName(const ::testing::TestParamInfo<std::string>& info) {
  std::string name = info.param;
  std::replace_if(
      name.begin(), name.end(), [](char c) { return !std::isalnum(static_cast<unsigned char>(c)); },
      '_');
  return name;
}

INSTANTIATE_TEST_SUITE_P(Seeds, Corpus, ::testing::ValuesIn(CorpusFiles()), TestName);

}  // namespace
