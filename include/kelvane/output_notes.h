// Why an output made nothing, in more words than the fixed texts of ErrorInfo: the file that
// could not be written and the system's reason, or how the chart came to be without a canvas.
// For C++ hosts and the tools that come with the component (the kelvane command, the Python
// module); none of this is part of the automation interface, and ErrorInfo is unchanged by it.
#pragma once

#include <string>
#include <string_view>

namespace kelvane {

// A picture file that makeChart could not write.
struct FileFailure {
    std::string method;    // the call that tried: "makeChart"
    std::string fileName;  // as the call was given it
    std::string reason;    // the system's words: "No such file or directory", "Permission denied"
};

// How a chart came to be without a canvas.
struct CanvasEnd {
    enum class How {
        NeverCreated,  // InitChart has not been called
        NotCreated,    // InitChart could not create it (a size out of range, memory short)
        HandedOver,    // an output took it: SaveBinary("bmp"), SaveBinary("gif"), makeChart of a GIF name
        Released,      // Destroy, or makeChart of a JPEG name (which runs Destroy)
    };
    How how = How::NeverCreated;
    // The call that ended it, as CallText writes it: Destroy, SaveBinary("bmp"), makeChart("a.jpg"),
    // InitChart; empty for NeverCreated.
    std::string call;
};

// A call as the notes name it: the method, then the text argument in double quotes (a quote in
// it doubled) when there is one: SaveBinary("bmp"), Destroy.
std::string CallText(std::string_view method, std::string_view argument = {});

// A clause for a host's message that says what became of the canvas and what to do, `where`
// (such as " on line 12") placed after the call:
//   the canvas was handed over by SaveBinary("bmp") on line 12; call InitChart for a new one
//   the canvas was released by Destroy on line 12; call InitChart for a new one
//   InitChart on line 12 could not create the canvas; check Width and Height
//   InitChart was never called; call InitChart first
std::string DescribeCanvasEnd(const CanvasEnd& end, std::string_view where = {});

// "'nodir/x.bmp': No such file or directory": the file and the reason, for a host's message.
std::string DescribeFileFailure(const FileFailure& failure);

}  // namespace kelvane
