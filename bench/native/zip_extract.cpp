// Benchmark: the zip reader built natively against Info-ZIP's unzip, in the same rounds.
//   extraction: a ~300 MB archive of mixed files, `unzip -o -q` against our extraction;
//   listing: a 10,000-entry archive, `unzip -l` against our open and list.
// Each side runs as its own process; each round times both back to back (in alternating order) and
// the figures are the median of the per-round ratios (ours / unzip; below 1 is faster).
//   bench_zip [rounds] [work folder]        the benchmark (default 7 rounds, ./zip-bench)
//   bench_zip --extract ARCHIVE FOLDER      extracts every entry (what a round times)
//   bench_zip --list ARCHIVE                prints every entry's name and size (what a round times)
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "platform/zip/zip_reader.h"
#include "platform/zip/zip_names.h"

extern char** environ;

namespace fs = std::filesystem;
using namespace ardmoor::zip;

namespace {

int ExtractAll(const char* archive, const char* folder) {
    ZipReader reader;
    if (reader.Open(archive) != ZipError::None) return 1;
    for (size_t i = 0; i < reader.EntryCount(); ++i)
        if (reader.Extract(i, folder) != ZipError::None) return 1;
    return 0;
}

int List(const char* archive) {
    ZipReader reader;
    if (reader.Open(archive) != ZipError::None) return 1;
    std::string out;
    for (size_t i = 0; i < reader.EntryCount(); ++i) {
        const ZipEntry& e = reader.Entry(i);
        out += std::to_string(e.size) + "  " + detail::EncodeUtf8(e.name) + "\n";
    }
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

// Runs a program with its output thrown away; seconds taken.
double Time(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    int status = 0;
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ) != 0 || waitpid(pid, &status, 0) < 0 ||
        !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "failed: %s\n", args[0].c_str());
        std::exit(1);
    }
    posix_spawn_file_actions_destroy(&actions);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Run(const std::vector<std::string>& args) { (void)Time(args); }

void WriteFile(const fs::path& file, const std::string& bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// About 300 MB the way a software package looks: text and program-like files that compress well,
// media that does not (zip stores it), a few big files, many small ones.
void MakeMixedTree(const fs::path& root) {
    std::mt19937_64 random(11);
    auto randomBytes = [&](size_t n) {
        std::string s(n, '\0');
        for (size_t i = 0; i + 8 <= n; i += 8) {
            const uint64_t v = random();
            std::memcpy(&s[i], &v, 8);
        }
        return s;
    };
    const std::vector<std::string> words = {"setup",  "install", "program", "window", "registry", "value",
                                            "return", "static",  "const",   "struct", "include",  "Ardmoor"};
    auto text = [&](size_t n) {
        std::string s;
        while (s.size() < n) s += words[random() % words.size()] + ((random() % 9) ? " " : ";\n");
        s.resize(n);
        return s;
    };
    // Program-like: runs of structure with noise, compresses to about half.
    auto program = [&](size_t n) {
        std::string s = randomBytes(n);
        for (size_t i = 0; i < n; ++i)
            if (i % 4 != 0) s[i] = static_cast<char>((i >> 4) & 0x3F);
        return s;
    };
    size_t total = 0;
    for (int i = 0; total < 300u << 20; ++i) {
        const std::string folder = "pkg" + std::to_string(i % 17) + "/sub" + std::to_string(i % 5);
        size_t n;
        std::string data;
        switch (i % 10) {
        case 0: n = 4u << 20; data = program(n); break;
        case 1: n = 1u << 20; data = randomBytes(n); break;
        case 2: case 3: n = 200000 + random() % 400000; data = text(n); break;
        default: n = 500 + random() % 40000; data = (i % 3) ? text(n) : program(n); break;
        }
        if (i % 97 == 0) { n = 20u << 20; data = program(n); }
        WriteFile(root / folder / ("file" + std::to_string(i) + (i % 10 == 1 ? ".cab" : ".dat")), data);
        total += n;
        // Icons, scripts, help pages: small files are most of a package's count.
        for (int k = 0; k < 6; ++k) {
            const size_t m = 200 + random() % 12000;
            WriteFile(root / folder / "res" / ("r" + std::to_string(i) + "_" + std::to_string(k) + ".txt"),
                      k % 3 ? text(m) : program(m));
            total += m;
        }
    }
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--extract") == 0) return ExtractAll(argv[2], argv[3]);
    if (argc == 3 && std::strcmp(argv[1], "--list") == 0) return List(argv[2]);
    const int rounds = argc > 1 ? std::max(5, std::atoi(argv[1])) : 7;
    const fs::path work = fs::absolute(argc > 2 ? argv[2] : "zip-bench");
    const std::string self = fs::canonical("/proc/self/exe").string();

    const fs::path mixed = work / "mixed.zip", many = work / "many.zip";
    if (!fs::exists(mixed)) {
        std::printf("making %s (once)\n", mixed.c_str());
        fs::remove_all(work / "mixed");
        MakeMixedTree(work / "mixed");
        fs::current_path(work / "mixed");
        Run({"zip", "-q", "-r", mixed.string(), "."});
        fs::remove_all(work / "mixed");
    }
    if (!fs::exists(many)) {
        std::printf("making %s (once)\n", many.c_str());
        fs::remove_all(work / "many");
        std::mt19937 random(5);
        for (int i = 0; i < 10000; ++i)
            WriteFile(work / "many" / ("dir" + std::to_string(i / 100)) / ("entry" + std::to_string(i) + ".txt"),
                      std::string(random() % 2000, static_cast<char>('a' + i % 26)));
        fs::current_path(work / "many");
        Run({"zip", "-q", "-r", many.string(), "."});
        fs::remove_all(work / "many");
    }
    fs::current_path(work);
    {
        ZipReader r;
        if (r.Open(mixed) != ZipError::None) return 1;
        uint64_t bytes = 0;
        for (size_t i = 0; i < r.EntryCount(); ++i) bytes += r.Entry(i).size;
        std::printf("extraction: %s, %zu entries, %.0f MB (%.0f MB compressed)\n", mixed.c_str(), r.EntryCount(),
                    bytes / 1e6, fs::file_size(mixed) / 1e6);
        if (r.Open(many) != ZipError::None) return 1;
        std::printf("listing: %s, %zu entries\n", many.c_str(), r.EntryCount());
    }

    const fs::path outOurs = work / "out-ours", outUnzip = work / "out-unzip";
    constexpr int kListings = 20;  // one listing takes milliseconds: time a batch
    std::vector<double> extractRatios, listRatios;
    std::printf("%5s %12s %12s %7s   %14s %14s %7s\n", "round", "ours s", "unzip s", "ratio", "ours list ms",
                "unzip list ms", "ratio");
    for (int round = 0; round < rounds; ++round) {
        fs::remove_all(outOurs);
        fs::remove_all(outUnzip);
        Run({"sync"});
        double ours = 0, unzip = 0;
        auto timeOurs = [&] { ours = Time({self, "--extract", mixed.string(), outOurs.string()}); };
        auto timeUnzip = [&] { unzip = Time({"unzip", "-o", "-q", mixed.string(), "-d", outUnzip.string()}); };
        if (round % 2) { timeOurs(); timeUnzip(); } else { timeUnzip(); timeOurs(); }
        double oursList = 0, unzipList = 0;
        for (int k = 0; k < kListings; ++k) {
            oursList += Time({self, "--list", many.string()});
            unzipList += Time({"unzip", "-l", many.string()});
        }
        extractRatios.push_back(ours / unzip);
        listRatios.push_back(oursList / unzipList);
        std::printf("%5d %12.3f %12.3f %7.3f   %14.2f %14.2f %7.3f\n", round + 1, ours, unzip, ours / unzip,
                    oursList * 1000 / kListings, unzipList * 1000 / kListings, oursList / unzipList);
        std::fflush(stdout);
    }
    const bool same = fs::exists(outOurs) && fs::exists(outUnzip) &&
                      std::system(("diff -r -q '" + outOurs.string() + "' '" + outUnzip.string() + "' >/dev/null").c_str()) == 0;
    std::printf("extracted trees identical to unzip's: %s\n", same ? "yes" : "NO");
    std::printf("median ratio ours/unzip over %d rounds: extraction %.3f (target <= 1), listing %.3f (target <= 1)\n",
                rounds, Median(extractRatios), Median(listRatios));
    fs::remove_all(outOurs);
    fs::remove_all(outUnzip);
    return 0;
}
