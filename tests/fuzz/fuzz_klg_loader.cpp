// Feeds arbitrary bytes to the .klg loader: as they are, or (first byte even) as a file with
// the right magic, a count cut to what the bytes hold and rows cut into range, so that files
// with samples are reached too. A refused file must leave what it was loaded into as it was;
// a taken one must hold valid rows and exactly its count of samples, and the view must decode,
// lay out and paint them at every scale without reading outside them.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "logic/KlgFile.h"
#include "logic/LogicSettings.h"
#include "logic/WaveView.h"

namespace {

void PutU32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

std::vector<uint8_t> ShapedFile(const uint8_t* data, size_t size) {
    std::vector<uint8_t> file(data, data + size);
    if (file.size() < kKlgHeaderBytes) file.resize(kKlgHeaderBytes, 0);
    const uint32_t room = static_cast<uint32_t>((file.size() - kKlgHeaderBytes) / 4);
    PutU32(file, 0, kKlgMagic);
    PutU32(file, 4, room ? file[4] % (room + 1) : 0);
    PutU32(file, 8, file[8] % kLogicTimeScaleUs.size());
    PutU32(file, 12, file[12] % kLogicBaudLabels.size());
    PutU32(file, 16, file[16] % 4);
    return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> shaped;
    if (size > 0 && (data[0] & 1) == 0) {
        shaped = ShapedFile(data + 1, size - 1);
        data = shaped.data();
        size = shaped.size();
    } else if (size > 0) {
        ++data;
        --size;
    }
    KlgContents contents;
    contents.settings = {7, 5, 3};
    contents.samples = {11, 22, 33};
    const KlgResult result = ParseKlg(data, size, contents);
    if (result != KlgResult::Ok) {
        if (result != KlgResult::FormatError || contents.settings.timeScaleRow != 7 ||
            contents.settings.baudRow != 5 || contents.settings.parityMode != 3 ||
            contents.samples != std::vector<uint32_t>{11, 22, 33})
            std::abort();
        return 0;
    }
    const KlgSettings& s = contents.settings;
    if (s.timeScaleRow > 8 || s.baudRow > 6 || s.parityMode > 3 || contents.samples.size() > kKlgMaxSamples ||
        size < kKlgHeaderBytes + 4 * contents.samples.size() || data[0] != 0x01 || data[3] != 0xEE)
        std::abort();

    static WaveView view;  // its capture buffer is 4 MB: one for the whole run
    view.capture.Assign(contents.samples);
    view.settings.parityMode = s.parityMode;
    ApplyLogicBaud(view.settings, LogicBaudOfRow(s.baudRow));
    for (uint32_t scale : {kLogicTimeScaleUs[s.timeScaleRow], uint32_t{10}, uint32_t{10000}}) {
        view.settings.timeScaleUs = scale;
        for (uint32_t first : {0u, view.capture.Count() / 2 & ~1u}) {
            view.firstShown = first;
            view.UpdateLayout(300, 200);
            const WaveDisplayList list = view.Paint(300, 200, [](const std::string& t) { return 7 * int(t.size()); });
            for (const WaveItem& item : list.items)
                for (const WavePoint& p : item.points)
                    if (item.kind != WaveItemKind::Text && (p.x < 0 || p.x > 360 || p.y < 0 || p.y > 300)) std::abort();
        }
    }
    return 0;
}
