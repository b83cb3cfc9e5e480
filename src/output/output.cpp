// The output methods: finish the drawing, choose the format, hand the canvas to its writer.
#include "chart/chart_state.h"
#include "chart/chart_warnings.h"
#include "chart/pie_chart.h"
#include "kelvane/cChart.h"
#include "output/bmp/bmp.h"
#include "output/gif/gif_colour_check.h"
#include "output/gif/gif_output.h"
#include "output/jpeg/jpeg_output.h"
#include "output/picture_format.h"
#include "output/png/png_output.h"
#include "raster/cdib.h"
#include "raster/gdi_handles.h"

namespace kelvane {

using namespace gdi;

namespace {

// Output failures are appended to the error text, one line each.
constexpr const char* kBmpSaveFailed = "Unexpected error Saving BMP file";
constexpr const char* kJpegWithoutCanvas = "Unexpected error Saving JPEG: the chart has no canvas";

void reportFailure(std::string& errorText, const char* message) {
    errorText += message;
    errorText += "\r\n";
}

// The size the outputs copy: the settings, except that a side of 0 gave the canvas the
// template's 21 pixels, which are the pixels to copy (0 would make the output empty or fail).
int32_t outputSide(int32_t setting) { return setting == 0 ? kTemplateSide : setting; }

}  // namespace

void cChart::finishDrawing() {
    // A pie chart is drawn now, from the settings current now; a bar chart gets its axis line
    // again, black and one pixel wide whatever the settings say.
    if (m->pieChartFlag == 2) {
        RenderPie(*m);
        return;
    }
    const PlotFrame& f = m->frame;
    const HDC dc = m->canvas.dc();
    const int32_t left = f.plotLeft;
    const int32_t bottom = CLng(f.plotBottom);
    const int32_t right = CLng(f.axisRight);
    if (!dc) return;
    Owned<HPEN> axisPen(CreatePen(PS_SOLID, 1, 0));
    Selection pen(dc, axisPen.get());
    MoveToEx(dc, left, bottom, nullptr);
    LineTo(dc, right, bottom);
}

int32_t cChart::makeChart(const std::string& FileName) {
    const PictureFormat format = PictureFormatOfFileName(FileName);
    CanvasEndWatch watch(*m, format == PictureFormat::Jpeg ? CanvasEnd::How::Released : CanvasEnd::How::HandedOver,
                         CallText("makeChart", FileName));
    // The writers put the system's reason here when the file cannot be written, also when that
    // raises an error; it stays empty otherwise.
    m->fileFailure = FileFailure{"makeChart", FileName, ""};
    std::string* const why = &m->fileFailure.reason;
    finishDrawing();
    cDIB dib;
    switch (format) {
    case PictureFormat::Bmp:
        if (!m->canvas.exists() ||
            !dib.SaveBMP(m->canvas.dc(), m->canvas.bitmap(), m->settings.Width, m->settings.Height,
                         FileName, why))
            reportFailure(m->errorText, kBmpSaveFailed);
        break;
    case PictureFormat::Jpeg:
        // Without a canvas nothing is written (an existing file stays): sampling no context would
        // give an all-black picture that looks like a chart.
        if (m->canvas.exists())
            WriteJpegFile(m->canvas.dc(), outputSide(m->settings.Width),
                          outputSide(m->settings.Height), m->settings.Quality, FileName, why);
        else
            reportFailure(m->errorText, kJpegWithoutCanvas);
        Destroy();
        break;
    case PictureFormat::Gif: {
        // Once warnings were asked for, the GIF also tells which colours its cube changes.
        CubeShiftReport colours;
        WriteGifFile(m->canvas, m->pictureFlag, FileName, m->errorText, why, m->facts.armed ? &colours : nullptr);
        NoteGifColours(m->facts, colours);
        break;
    }
    case PictureFormat::Png:
        WritePngFile(m->canvas, FileName, m->errorText, why);  // the canvas stays, as for BMP
        break;
    case PictureFormat::None:
        break;
    }
    dib.Destroy();
    return 0;
}

Variant cChart::SaveBinary(const std::string& imgType) {
    const PictureFormat format = PictureFormatOfType(imgType);
    CanvasEndWatch watch(*m, CanvasEnd::How::HandedOver, CallText("SaveBinary", imgType));
    finishDrawing();
    if (format == PictureFormat::Bmp) {
        if (!m->canvas.exists()) return Variant();
        HDC dc = nullptr;
        HBITMAP bitmap = nullptr;
        m->canvas.handOver(dc, bitmap);  // the image builder deletes them
        return Variant(BuildBmpImage(dc, bitmap));
    }
    if (format == PictureFormat::Jpeg) {
        if (!m->canvas.exists()) {
            reportFailure(m->errorText, kJpegWithoutCanvas);
            return Variant();
        }
        return JpegByteArray(m->canvas.dc(), outputSide(m->settings.Width),
                             outputSide(m->settings.Height), m->settings.Quality);
    }
    if (format == PictureFormat::Gif) {
        CubeShiftReport colours;
        Variant gif = GifByteArray(m->canvas, m->pictureFlag, m->errorText, m->facts.armed ? &colours : nullptr);
        NoteGifColours(m->facts, colours);
        return gif;
    }
    if (format == PictureFormat::Png) return PngByteArray(m->canvas, m->errorText);
    return Variant();
}

int32_t cChart::ExportToDC(HDC DC) {
    try {
        finishDrawing();
        if (m->canvas.exists())
            BitBlt(DC, 0, 0, outputSide(m->settings.Width), outputSide(m->settings.Height), m->canvas.dc(), 0, 0,
                   SRCCOPY);
    } catch (...) {
        // Copying onto the host's context never fails towards the host.
    }
    return 0;
}

}  // namespace kelvane
