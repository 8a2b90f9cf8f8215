// Placeholder until the asset generator lands: creates empty asset files.
#include <cstdio>
#include <filesystem>
#include <string>

int main(int argc, char **argv) {
  if (argc != 2) {
    return 2;
  }
  std::filesystem::create_directories(argv[1]);
  for (const char *name : {"cursor.bmp", "box.bmp", "boxdestroyed.bmp", "windowclean.bmp",
                           "window.bmp", "clock.bmp", "clockdestroyed.bmp", "piou.wav",
                           "glass.wav", "box0.wav", "box1.wav", "blan.wav", "alarm.wav"}) {
    std::FILE *f = std::fopen((std::string(argv[1]) + "/" + name).c_str(), "wb");
    if (f) {
      std::fclose(f);
    }
  }
  return 0;
}
