// Streams a large scripted body through download_setup_program into a
// temporary folder and prints the throughput and what the download itself
// allocated. Figures only; nothing here passes or fails.
//   indirme_bench [MiB]   (default 256)
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "destek/sahte_ag.hpp"
#include "destek/sahte_dosya.hpp"
#include "indir/dosya_sistemi_std.hpp"
#include "indir/indirme.hpp"
#include "indir/ozet.hpp"

namespace {

// Every operator new of the process is counted; a header in front of each
// block remembers its size for the matching delete.
constexpr std::size_t HEADER = alignof(std::max_align_t);
std::size_t live_bytes = 0;
std::size_t peak_bytes = 0;
std::size_t allocations = 0;

void* counted_new(std::size_t size) {
    void* block = std::malloc(size + HEADER);  // NOLINT(cppcoreguidelines-no-malloc)
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    *static_cast<std::size_t*>(block) = size;
    live_bytes += size;
    peak_bytes = std::max(peak_bytes, live_bytes);
    ++allocations;
    return static_cast<unsigned char*>(block) + HEADER;
}

void counted_delete(void* pointer) noexcept {
    if (pointer == nullptr) {
        return;
    }
    void* block = static_cast<unsigned char*>(pointer) - HEADER;
    live_bytes -= *static_cast<std::size_t*>(block);
    std::free(block);  // NOLINT(cppcoreguidelines-no-malloc)
}

std::string generated_digest(std::uint64_t size) {
    velmor::Sha256 sha;
    std::vector<std::byte> block(velmor::READ_CHUNK_SIZE);
    for (std::uint64_t offset = 0; offset < size; offset += block.size()) {
        const auto piece = std::span(block).first(
            static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), size - offset)));
        velmor::test::fill_generated(offset, piece);
        sha.update(piece);
    }
    return velmor::to_hex(sha.finish());
}

}  // namespace

void* operator new(std::size_t size) { return counted_new(size); }
void operator delete(void* pointer) noexcept { counted_delete(pointer); }
void operator delete(void* pointer, std::size_t /*size*/) noexcept { counted_delete(pointer); }

int main(int argc, char** argv) {
    using namespace velmor;
    const std::uint64_t mebibytes = argc > 1 ? std::strtoull(argv[1], nullptr, 10) : 256;
    const std::uint64_t size = mebibytes * 1048576;

    test::TempFolder temp;
    StdFileSystem files(temp.path());
    test::ScriptedNetwork network;
    network.answers.push_back(
        {.headers = {{"Content-Length", std::to_string(size)}}, .generated_size = size});
    ProgressState progress;
    const CancelFlag cancel;
    const JobEnvironment env{network, files, progress, cancel};
    const Manifest manifest{"1.4.12", "https://cdn.velmor.gg/kurulum.exe", generated_digest(size),
                            size};
    const auto setup = temp.path() / "Velmor-Launcher-1.4.12-setup.exe";

    const std::size_t live_before = live_bytes;
    peak_bytes = live_bytes;
    const std::size_t allocations_before = allocations;
    const auto start = std::chrono::steady_clock::now();
    const auto result = download_setup_program(env, manifest, "1.4.12", setup);
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    const std::size_t peak = peak_bytes - live_before;
    const std::size_t count = allocations - allocations_before;

    if (!result) {
        std::printf("download failed: %s\n", result.message().c_str());
        return 1;
    }
    std::printf("streamed %llu MiB in %.2f s: %.0f MiB/s\n",
                static_cast<unsigned long long>(mebibytes), seconds.count(),
                static_cast<double>(mebibytes) / seconds.count());
    std::printf(
        "peak bytes allocated by the download (incl. scripted network): %zu in %zu allocations\n",
        peak, count);
    std::printf("read buffers handed to the body: %zu, of %zu bytes\n",
                network.log->read_buffers.size(), network.log->read_buffers.begin()->second);
    return 0;
}
