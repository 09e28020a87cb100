// Loading a map-sized cloud JPEG, and resampling the lit map to a large screen.

#include "render/earth_image.h"

#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <turbojpeg.h>
#include <unistd.h>

namespace chronvale {
namespace {

// A procedural 1024 x 512 picture with smooth gradients and some detail, like a
// satellite picture of clouds.
ImagePtr makeMapPicture() {
    ImagePtr image = createImage(1024, 512, 24, 256);
    for (int r = 0; r < image->height(); ++r) {
        uint8_t* p = image->row(r);
        for (int x = 0; x < image->width(); ++x, p += 3) {
            const double wave =
                std::sin(x * 0.031) * std::cos(r * 0.047) + std::sin((x + r) * 0.11);
            const int cloud = static_cast<int>(128 + 60 * wave) & 0xFF;
            p[0] = static_cast<uint8_t>(cloud);
            p[1] = static_cast<uint8_t>((cloud + r / 4) & 0xFF);
            p[2] = static_cast<uint8_t>((cloud + x / 8) & 0xFF);
        }
    }
    return image;
}

std::string writeJpeg(const EarthImage& image) {
    tjhandle encoder = tjInitCompress();
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    tjCompress2(encoder, image.pixels(), image.width(), image.stride(), image.height(), TJPF_BGR,
                &buffer, &size, TJSAMP_420, 85, TJFLAG_BOTTOMUP);
    const std::string path = (std::filesystem::temp_directory_path() /
                              ("chronvale-bench-" + std::to_string(::getpid()) + ".jpg"))
                                 .string();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file) {
        std::fwrite(buffer, 1, size, file);
        std::fclose(file);
    }
    tjFree(buffer);
    tjDestroy(encoder);
    return path;
}

void BM_LoadJpeg1024x512(benchmark::State& state) {
    const std::string path = writeJpeg(*makeMapPicture());
    for (auto _ : state) {
        ImagePtr image = loadImage(path);
        if (!image) {
            state.SkipWithError("the JPEG did not load");
            break;
        }
        benchmark::DoNotOptimize(image->pixels());
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_LoadJpeg1024x512)->Unit(benchmark::kMillisecond);

void BM_Resample1024x512To3840x1920(benchmark::State& state) {
    const ImagePtr source = makeMapPicture();
    for (auto _ : state) {
        ImagePtr image = resampleImage(source.get(), 3840, 1920);
        benchmark::DoNotOptimize(image->pixels());
    }
}
BENCHMARK(BM_Resample1024x512To3840x1920)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace chronvale
