// filler FILE MEGABYTES SEED
// Built for and run on the build machine: writes bytes that do not compress
// (a xorshift sequence), so a cabinet of them weighs what its members do.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <vector>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: filler FILE MEGABYTES SEED\n");
    return 2;
  }
  const long megabytes = std::atol(argv[2]);
  uint64_t state = std::strtoull(argv[3], nullptr, 10) | 1;
  std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
  if (!file || megabytes <= 0) return 1;
  std::vector<uint64_t> chunk(1 << 17);  // 1 MB
  for (long i = 0; i < megabytes && file; ++i) {
    for (uint64_t& word : chunk) {
      state ^= state << 13;
      state ^= state >> 7;
      state ^= state << 17;
      word = state;
    }
    file.write(reinterpret_cast<const char*>(chunk.data()), static_cast<std::streamsize>(chunk.size() * sizeof(uint64_t)));
  }
  file.close();
  return file ? 0 : 1;
}
