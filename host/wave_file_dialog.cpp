#include "host/wave_file_dialog.h"

#include "platform/services.h"
#include "shared/app_settings.h"

std::string ProposedWaveName(const std::string& title) {
    return title.substr(0, title.find('.')) + ".wav";
}

std::string AskWaveFileName(const std::string& title) {
    CFileDialog dlg(false, "wav", ProposedWaveName(title), OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                    "Wave Files (*.wav)|*.wav|");
    dlg.m_initialDir = g_lastExportFolder;
    if (dlg.DoModal() != IDOK) return {};
    const std::string path = dlg.GetPathName();
    const size_t slash = path.rfind('/');
    if (slash != std::string::npos) g_lastExportFolder = path.substr(0, slash);
    return path;
}

std::string FileNameOfPath(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}
