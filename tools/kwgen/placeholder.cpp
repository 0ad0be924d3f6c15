// Until the generator exists: makes an empty game folder layout.
#include <filesystem>
int main(int argc, char** argv) {
  if (argc < 3) return 2;
  std::filesystem::create_directories(std::filesystem::path(argv[2]) / "paks");
  return 0;
}
