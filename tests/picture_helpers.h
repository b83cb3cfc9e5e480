// Test helpers for pictures: the committed sample files, small BMPs made on the fly, reading a
// picture's or a context's pixels, and catching the messages shown to the user.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "kelvane/gdi.h"
#include "kelvane/messages.h"
#include "raster/std_picture.h"

namespace kelvane::test {

// The bytes of tests/data/pictures/<name>.
std::vector<uint8_t> samplePicture(const std::string& name);
std::string samplePath(const std::string& name);

// A 24-bit bottom-up BMP file of w x h colours (0x00BBGGRR, top row first).
std::vector<uint8_t> bmpFile(int w, int h, const std::vector<gdi::COLORREF>& pixels);
// A temporary folder removed with everything in it when the object goes.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& path() const { return m_path; }
    // Writes a file into the folder and returns its path.
    std::string write(const std::string& name, const std::vector<uint8_t>& bytes) const;

private:
    std::string m_path;
};

struct Pixels {
    int width = 0, height = 0;
    std::vector<gdi::COLORREF> colours;  // top row first
    gdi::COLORREF at(int x, int y) const { return colours[size_t(y) * size_t(width) + size_t(x)]; }
};
Pixels pixelsOf(const StdPicture& picture);

// A 24-bit memory context of w x h filled with one colour.
class TestCanvas {
public:
    TestCanvas(int w, int h, gdi::COLORREF fill);
    ~TestCanvas();
    TestCanvas(const TestCanvas&) = delete;
    TestCanvas& operator=(const TestCanvas&) = delete;
    gdi::HDC dc() const { return m_dc; }

private:
    gdi::HDC m_dc = nullptr;
    gdi::HBITMAP m_bitmap = nullptr;
    gdi::HGDIOBJ m_previous = nullptr;
};

// Collects the messages shown on this thread while it lives; the default handler returns after.
class MessageLog {
public:
    MessageLog();
    ~MessageLog();
    MessageLog(const MessageLog&) = delete;
    MessageLog& operator=(const MessageLog&) = delete;
    const std::vector<std::string>& messages() const { return m_messages; }

private:
    std::vector<std::string> m_messages;
};

}  // namespace kelvane::test
