#include "data/sample_export.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "data/byte_order.h"
#include "data/wave_file.h"
#include "shared/file_io.h"
#include "shared/message_box.h"

std::vector<uint32_t> SampleWavePieces(const std::vector<uint8_t>& image) {
    const uint32_t total = static_cast<uint32_t>(image.size());
    if (total < kWaveHeaderBytes) return {total, 0, 0, 0};
    const uint32_t dataBytes = std::min(GetU32(image.data() + 40), total - kWaveHeaderBytes);
    const uint32_t afterData = kWaveHeaderBytes + dataBytes;
    const bool loop = total - afterData >= kSmplChunkBytes && std::memcmp(image.data() + afterData, "smpl", 4) == 0;
    const uint32_t smpl = loop ? kSmplChunkBytes : 0;
    return {kWaveHeaderBytes, dataBytes, smpl, total - afterData - smpl};
}

bool ExportSampleWave(uint32_t s, const std::string& path) {
    CFileException error;
    std::unique_ptr<CFile> file = CreateWriteFile(path, &error);
    if (!file) {
        AfxMessageBox("Cannot create file!");
        return false;
    }
    const std::vector<uint8_t> image = BuildSampleWave(s);
    const std::vector<uint32_t> pieces = SampleWavePieces(image);
    size_t offset = 0;
    size_t piece = 0;
    try {
        for (; piece < pieces.size(); ++piece) {
            if (pieces[piece] == 0) continue;
            file->Write(image.data() + offset, pieces[piece]);
            offset += pieces[piece];
        }
        file->Close();
    } catch (const CFileException& e) {
        file->Abort();
        if (e.m_cause == CFileException::diskFull) AfxMessageBox("Disk Full!");
        else if (piece == 0) AfxMessageBox("Export failed due to a file error.");
        else AfxMessageBox("Export failed due to file error.");
        return false;
    }
    return true;
}

std::string NameOfTypedSampleName(const std::string& typed) {
    if (typed.size() >= 4 && typed.compare(typed.size() - 4, 4, ".wav") == 0) return typed;
    return typed + ".wav";
}

std::string PasteLoadName(const std::string& name) {
    if (name.empty()) return name;
    std::string out = name;
    if (const size_t l = out.find("-L"); l != std::string::npos) out = out.substr(0, l) + ".wav";
    if (const size_t r = out.find("-R"); r != std::string::npos) out = out.substr(0, r) + ".wav";
    return out;
}
