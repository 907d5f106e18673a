// SHA3-224 against the FIPS 202 examples and against Python's hashlib on
// random inputs of many lengths, across the 144-byte block boundary.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "update/sha3.h"

namespace {

std::string Digest(const std::string& bytes) { return Sha3_224Hex(bytes.data(), bytes.size()); }

TEST(Sha3, Fips202Examples) {
  EXPECT_EQ(Digest(""), "6b4e03423667dbb73b6e15454f0eb1abd4597f9a1b078e3f5b5a6bc7");
  EXPECT_EQ(Digest("abc"), "e642824c3f8cf24ad09234ee7d3c766fc9a3a5168d0c94ad73b46fdf");
  EXPECT_EQ(Digest("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq"),
            "8a24108b154ada21c9fd5574494479ba5c7e7ab76ef264ead0fcce33");
  EXPECT_EQ(Digest("abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnop"
                   "qklmnopqrlmnopqrsmnopqrstnopqrstu"),
            "543e6868e1666c1a643630df77367ae5a62a85070a51c14cbf665cbc");
  EXPECT_EQ(Digest(std::string(200, '\xA3')),
            "9376816aba503f72f96ce7eb65ac095deee3be4bf9bbc2a1cb7e11e0");
  EXPECT_EQ(Digest(std::string(1000000, 'a')),
            "d69335b93325192e516a912e6d19a15cb51c6ed5c15243e7a7fd653c");
}

// However the input is cut into pieces, the digest is the same.
TEST(Sha3, PiecesGiveTheSameDigest) {
  std::mt19937 random(7);
  std::string bytes(1000, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random());
  const std::string whole = Digest(bytes);
  for (size_t piece : {1u, 7u, 143u, 144u, 145u, 288u, 999u}) {
    Sha3State state;
    Sha3Start(state);
    for (size_t at = 0; at < bytes.size(); at += piece) {
      Sha3Add(state, bytes.data() + at, std::min(piece, bytes.size() - at));
    }
    EXPECT_EQ(Sha3FinishHex(state), whole) << piece;
  }
}

std::vector<size_t> Lengths() {
  std::vector<size_t> lengths;
  for (size_t length = 0; length <= 300; ++length) lengths.push_back(length);
  for (size_t block : {3u, 4u, 7u, 100u, 455u}) {
    for (int delta : {-1, 0, 1}) lengths.push_back(block * 144 + delta);
  }
  lengths.push_back(1 << 20);
  return lengths;
}

TEST(Sha3, MatchesPythonHashlib) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("vantrel-sha3-" + std::to_string(getpid()));
  std::filesystem::create_directories(folder);
  std::mt19937 random(2026);
  std::vector<std::string> expected;
  const std::vector<size_t> lengths = Lengths();
  for (size_t i = 0; i < lengths.size(); ++i) {
    std::string bytes(lengths[i], '\0');
    for (char& byte : bytes) byte = static_cast<char>(random());
    std::ofstream(folder / std::to_string(i), std::ios::binary) << bytes;
    expected.push_back(Digest(bytes));
  }
  const std::string command =
      "python3 -c 'import hashlib,sys\nfor i in range(int(sys.argv[2])):\n"
      " print(hashlib.sha3_224(open(sys.argv[1]+\"/\"+str(i),\"rb\").read()).hexdigest())' " +
      folder.string() + " " + std::to_string(lengths.size());
  FILE* python = popen(command.c_str(), "r");
  ASSERT_NE(python, nullptr);
  char line[128];
  size_t checked = 0;
  while (fgets(line, sizeof(line), python) != nullptr && checked < expected.size()) {
    EXPECT_EQ(std::string(line, kSha3_224HexDigits), expected[checked])
        << "length " << lengths[checked];
    ++checked;
  }
  EXPECT_EQ(pclose(python), 0);
  EXPECT_EQ(checked, expected.size());
  std::filesystem::remove_all(folder);
}

}  // namespace
