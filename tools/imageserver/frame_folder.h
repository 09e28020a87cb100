#pragma once
// The image server's folder of cloud frames: one JPEG file per frame, named by
// the frame's UTC time stamp (YYYYMMDDHH.jpg; 10 to 14 digits), and for frames
// made from a large enough map a 4096 x 2048 copy of the same name in the
// subfolder 4096/.

#include <QString>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace chronvale::imaged {

struct FrameFile {
    std::string t;      // the time stamp, the file's name without ".jpg"
    QString path;       // full path of the file
    qint64 size = 0;    // bytes
    bool hires = false; // a 4096 x 2048 copy is there
};

// The folder of the 4096 x 2048 copies, and the copy of frame t in it.
QString hiresFolder(const QString& folder);
QString hiresFramePath(const QString& folder, const std::string& t);

// The frames of the folder, newest first. Files whose names are not a time stamp
// followed by ".jpg" are left out.
std::vector<FrameFile> listFrames(const QString& folder);

// The frame with time stamp t; none when t is not a valid time stamp or the
// folder has no such frame.
std::optional<FrameFile> findFrame(const QString& folder, const std::string& t);

// The UTC hour of `when` as YYYYMMDDHH.
std::string hourTimeStamp(std::time_t when);

// Adds an image to the folder as frame t: a JPEG file is copied unchanged, any
// other image that Qt can read is re-encoded as JPEG. The file is written under a
// temporary name and renamed into place. Returns an error text, or nothing.
std::optional<QString> ingestImage(const QString& folder, const QString& imagePath,
                                   const std::string& t);

// Writes bytes to path through a temporary file and a rename; false on failure.
bool writeFileAtomically(const QString& path, const QByteArray& bytes);

} // namespace chronvale::imaged
