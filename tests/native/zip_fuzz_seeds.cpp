// Writes the fuzzer's seed corpus: small archives with each feature the reader handles.
#include <filesystem>
#include <fstream>
#include <string>

#include "zip_builder.h"

using namespace ardmoor::zip::test;

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::filesystem::path dir = argv[1];
    std::filesystem::create_directories(dir);
    const std::string text = "setup text setup text setup text\n";
    const BuildEntry folder{.name = "disk1/", .method = 0, .host = 0, .external = 0x10};
    const std::vector<std::pair<const char*, std::string>> seeds = {
        {"empty", BuildZip({})},
        {"deflated", BuildZip({folder, {.name = "disk1/setup.exe", .data = text}})},
        {"stored", BuildZip({{.name = "readme.txt", .data = text, .method = 0}})},
        {"descriptor", BuildZip({{.name = "a.txt", .data = text, .flags = 8}, {.name = "b.txt", .data = "b"}})},
        {"zip64", BuildZip({{.name = "wide.bin", .data = text, .zip64 = true}}, {.zip64End = true})},
        {"names", BuildZip({{.name = "\xE6\x97\xA5.txt", .data = "u", .flags = 0x800},
                            {.name = "\x81" "ber.txt", .data = "c", .host = 0}})},
        {"comment", BuildZip({{.name = "x", .data = text}}, {.comment = "a comment", .prefix = "MZ stub"})},
        {"unsafe", BuildZip({{.name = "../x", .data = "x"}, {.name = "CON", .data = "x"}})},
        {"encrypted", BuildZip({{.name = "e", .data = text, .flags = 1}, {.name = "m", .data = text, .method = 12}})},
    };
    for (const auto& [name, bytes] : seeds) {
        std::ofstream f(dir / (std::string(name) + ".zip"), std::ios::binary | std::ios::trunc);
        f.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        if (!f) return 1;
    }
    return 0;
}
