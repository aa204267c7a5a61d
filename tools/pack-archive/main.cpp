// Builds the program's first-run archive: every file under a folder, stored under one top folder
// name ("Pollix/..."), plus empty folder entries named on the command line.
//   pollix-pack OUTPUT SOURCE_FOLDER TOP_NAME [EMPTY_FOLDER ...]
#include <zip.h>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

zip_fileinfo infoFor(const fs::path &file)
{
    zip_fileinfo info{};
    std::time_t t = std::time(nullptr);
    if (!file.empty()) {
        const auto ft = fs::last_write_time(file);
        const auto sys = std::chrono::time_point_cast<std::chrono::system_clock::duration>(
            ft - fs::file_time_type::clock::now() + std::chrono::system_clock::now());
        t = std::chrono::system_clock::to_time_t(sys);
    }
    std::tm local{};
    localtime_r(&t, &local);
    info.tmz_date.tm_sec = uInt(local.tm_sec);
    info.tmz_date.tm_min = uInt(local.tm_min);
    info.tmz_date.tm_hour = uInt(local.tm_hour);
    info.tmz_date.tm_mday = uInt(local.tm_mday);
    info.tmz_date.tm_mon = uInt(local.tm_mon);
    info.tmz_date.tm_year = uInt(local.tm_year + 1900);
    return info;
}

bool addEntry(zipFile zf, const std::string &name, const fs::path &source)
{
    const zip_fileinfo info = infoFor(source);
    if (zipOpenNewFileInZip(zf, name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED, Z_BEST_COMPRESSION) != ZIP_OK)
        return false;
    bool ok = true;
    if (!source.empty()) {
        std::ifstream in(source, std::ios::binary);
        const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ok = in.good() || in.eof();
        if (ok && !bytes.empty())
            ok = zipWriteInFileInZip(zf, bytes.data(), unsigned(bytes.size())) == ZIP_OK;
    }
    return zipCloseFileInZip(zf) == ZIP_OK && ok;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 4) {
        std::cerr << "usage: pollix-pack OUTPUT SOURCE_FOLDER TOP_NAME [EMPTY_FOLDER ...]\n";
        return 2;
    }
    const std::string output = argv[1];
    const fs::path source = argv[2];
    const std::string top = std::string(argv[3]) + "/";

    std::vector<fs::path> files;
    for (const auto &e : fs::recursive_directory_iterator(source))
        if (e.is_regular_file())
            files.push_back(e.path());
    std::sort(files.begin(), files.end());

    const std::string temp = output + ".tmp";
    zipFile zf = zipOpen(temp.c_str(), APPEND_STATUS_CREATE);
    if (!zf) {
        std::cerr << "pollix-pack: cannot create " << temp << "\n";
        return 1;
    }
    bool ok = addEntry(zf, top, {});
    for (int i = 4; ok && i < argc; ++i)
        ok = addEntry(zf, top + argv[i] + "/", {});
    for (const fs::path &f : files) {
        if (!ok)
            break;
        ok = addEntry(zf, top + fs::relative(f, source).generic_string(), f);
    }
    ok = zipClose(zf, nullptr) == ZIP_OK && ok;
    if (!ok) {
        std::cerr << "pollix-pack: writing " << output << " failed\n";
        fs::remove(temp);
        return 1;
    }
    fs::rename(temp, output);
    return 0;
}
