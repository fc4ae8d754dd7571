// Replays every file of the fuzz corpus and of the kept crash reproducers through the fuzz
// target: the regression test of the parser, built without the fuzzing engine.
#include <dirent.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size);

int main(int argc, char** argv) {
    int files = 0;
    for (int i = 1; i < argc; ++i) {
        DIR* dir = opendir(argv[i]);
        if (!dir) continue;
        while (dirent* entry = readdir(dir)) {
            if (entry->d_name[0] == '.') continue;
            std::ifstream in(std::string(argv[i]) + "/" + entry->d_name, std::ios::binary);
            std::stringstream bytes;
            bytes << in.rdbuf();
            const std::string data = bytes.str();
            LLVMFuzzerTestOneInput(reinterpret_cast<const unsigned char*>(data.data()),
                                   data.size());
            ++files;
        }
        closedir(dir);
    }
    std::printf("replayed %d files\n", files);
    return files > 0 ? 0 : 1;
}
