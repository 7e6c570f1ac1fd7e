// The save dialog shared by the song export and the output capture: it opens in
// the remembered export folder (the process's own folder is left as it is),
// proposes the document's title as a ".wav" name, and on OK remembers the
// chosen file's folder for the next export or capture.
#pragma once

#include <string>

// The title up to its first ".", or the whole title when it has none, plus ".wav".
std::string ProposedWaveName(const std::string& title);

// Runs the dialog; the chosen path, or empty when it was cancelled.
std::string AskWaveFileName(const std::string& title);

// The text after the path's last '/' (the whole path when it has none).
std::string FileNameOfPath(const std::string& path);
