"""Kelvane: chart pictures (bar charts, pies, free drawing, text) as BMP, JPEG, GIF or PNG."""

from typing import Any, Optional, Sequence

__version__: str
__license__: str

kvSingleColor: int
kvline: int
kvFillImage: int
kvOnePole: int
kvDot: int
dtCir: int
dtRect: int

class AutomationError(Exception):
    """A failure raised by a chart method: the error number and its description."""
    number: int
    description: str
    def __init__(self, number: int, description: str, message: Optional[str] = None) -> None: ...

class OutputWarning(UserWarning):
    """An output method made no file or no picture, and says why: the file and the system's
    reason, what became of the canvas, or the picture types there are."""

class cChart:
    """One chart picture: assign settings, InitChart, draw, then save."""
    def __init__(self) -> None: ...
    Quality: int
    Width: int
    Height: int
    BackgroundColor: int
    BackGrid: bool
    SerialBars: int
    SerialItems: int
    BarSpaceRate: float
    RightAxisVisible: bool
    FillColor: int
    FillImage: str
    LineColor: int
    LineMode: int
    LineWidth: int
    BorderOffset: int
    AxisXoutValue: int
    AxisYoutValue: int
    LegendTitle: str
    LegendTitleBond: bool
    LegendTitleHeight: int
    LegendBackgroundColor: int
    LegendTxtColor: int
    LegendWidth: int
    LegendBorderColor: int
    LegendVisible: bool
    LegendOffsetX: int
    LegendOffsetY: int
    HValueAlignMode: int
    LineDotFlag: bool
    LineDotType: int
    LineDotFlagSize: int
    LineDotFlagOutlineMode: int
    LineDotFlagOutlineColor: int
    LineDotFlagOutlineWidth: int
    MarginTop: int
    MarginLeft: int
    MarginBottom: int
    MarginRight: int
    BackGridColor: int
    LeftRulerHeight: int
    RightRulerHeight: int
    BottomBRulerHeight: int
    BottomSRulerHeight: int
    LegendBorderWidth: int
    LegendItemHeight: int
    LegendIconWidth: int
    LegendFontSize: int
    DrawBarMode: int
    PercentDigits: int
    PieSizeRate: float
    MValueVisible: bool
    MValueOffset: int
    MValueSize: int
    MValueBackVisible: bool
    MValueBorderOffsetX: int
    MValueBorderOffsetY: int
    MValueBackColor: int
    MValueBackOpacity: int
    BorderWidth: int
    BorderColor: int
    MValuebStr: str
    PieItemOutOffset3D: int
    Angle_3D: float
    Depth_3D: int
    Chart_3D: bool
    AxisBackColor_3D: int
    MaxPicturePixels: int
    @property
    def BarWidth(self) -> float: ...
    def CopyRight(self) -> str:
        """A fixed text naming the component and its version."""
    def InitChart(self) -> int:
        """Gives the chart its canvas of Width x Height in BackgroundColor, inside its border."""
    def Destroy(self) -> None:
        """Releases the canvas (also done when the object goes away)."""
    def ErrorInfo(self) -> str:
        """The error text gathered so far, "number:description" per error."""
    def Warnings(self) -> str:
        """What looks wrong in the picture drawn since InitChart, one line per warning ending in a line feed,
        each naming the setting or call to change; "" when nothing does. The first call also makes
        the chart's later GIF outputs check their colours, so call it once before drawing to have them."""
    def DrawBarChart(self, VMax: float, Vstep: int, VStartValue: float, DecimalNum: int = 0, bStr: str = "", bTxtVisible: bool = True) -> int:
        """Draws the bar chart's frame: value axis, category ticks, 3D walls, legend box and grid."""
    def DrawRightAxis(self, VMax: float, Vstep: int, VStartValue: float, DecimalNum: int = 0, bStr: str = "", bVisible: bool = True) -> int:
        """Draws a second value scale at the right end of the category axis."""
    def AddBarData(self, Name: str, Value: float, bIndex: int, sIndex: int, sAddParam: str = "") -> None:
        """Draws one bar, stacked segment or point (by DrawBarMode) with its label, legend entry and map record."""
    def MakeMap(self, MapName: str, sLink: str = "", sParam: str = "", sTarget: str = "_blank") -> str:
        """The HTML image map of the bars drawn so far, the last drawn first."""
    def DrawPolaLine(self, arrValue: Sequence[Any], DecimalNum: int, LineMode: int, LineWidth: str, LineColor: int, ValueOffsetX: float = 0, ValueOffsetY: float = 0, ValueVisible: bool = True, ValueBackVisible: bool = False, ValueBorderOffsetX: float = 1, ValueBorderOffsetY: float = 1) -> int:
        """Draws the running total of a series over the bars, labelled with its share of the grand total."""
    def AddPieData(self, Name: str, Value: float, FillStyle: int, ItemHidden: bool = False, ItemOut: bool = False, FillColor1: int = 0, FillColor2: int = 0, FillImage: str = "") -> None:
        """Adds one slice to the pie (stored; drawn by the output methods)."""
    def DrawPieChart(self) -> int:
        """Places the pie; it is drawn with its labels and legend by every output method."""
    def DrawLine(self, LineMode: int, LineWidth: str, LineColor: int, x1: float, y1: float, x2: float, y2: float, StartPointMode: int = 1) -> int:
        """Draws a line in canvas pixels or, with StartPointMode 2, in plot coordinates."""
    def DrawRect(self, OutLineMode: int, OutLineWidth: int, OutLineColor: int, nFillColor: int, x1: float, y1: float, x2: float, y2: float, StartPointMode: int = 1) -> int:
        """Draws a filled rectangle with an outline."""
    def DrawCircle(self, nRadius: int, nOutLineMode: int, nOutLineWidth: int, nOutLineColor: int, nCenterX: float, nCenterY: float, StartPointMode: int = 1, nFillColor: int = 0) -> int:
        """Draws a filled circle with an outline."""
    def DrawCurve(self, arrPoint: Sequence[str], CurveWidth: str, CurveColor: int, tension: float, precisionNum: int, StartPointMode: int = 2) -> int:
        """Draws a line through "x,y" points, each segment bent by one sine wave."""
    def DrawImage(self, StrPath: str, x: float, y: float, TransColor: int = 16777215, Opacity: int = 100) -> int:
        """Draws a BMP, JPEG or GIF file at canvas pixel (x, y), blended by Opacity percent."""
    def DrawChartTiTle(self, Value: str, strFont: str = "Arial", Size: int = 14, Bond: bool = True, Color: int = 0, Angle: int = 0, offsetX: float = 0, offsetY: float = 0) -> int:
        """Draws the chart's title, centred above the plot."""
    def DrawAreaText(self, arrValue: Sequence[Any], stepNum: int = 0, strFont: str = "Arial", Size: int = 14, Bond: bool = True, Color: int = 0, Angle: int = 0, offsetX: float = 0, offsetY: float = 0) -> int:
        """Draws the category labels under the plot, one per bar position."""
    def DrawText(self, Value: str, strFont: str = "Arial", Size: int = 14, Bond: bool = False, Color: int = 0, Angle: int = 0, x: float = 0, y: float = 0, StartPointMode: int = 1) -> int:
        """Draws text at (x, y)."""
    def makeChart(self, FileName: str) -> int:
        """Writes the picture to a file; its extension (.bmp, .jpg, .gif, .png) picks the format. A file that
        cannot be written warns (OutputWarning) or, for GIF and JPEG, raises AutomationError 75; both name
        the file and the system's reason."""
    def SaveBinary(self, imgType: str) -> Optional[bytes]:
        """The picture as bytes in the format imgType ("bmp", "jpg", "gif", "png"); None when there is none,
        with an OutputWarning saying why (an unknown type, or no canvas)."""
    def ExportToDC(self, DC: int) -> int:
        """Copies the picture onto a device context; Python has none, so only 0 is accepted."""

Chart = cChart

def RGB(red: Any, green: Any, blue: Any) -> int:
    """The colour of red, green and blue levels 0 to 255 as the interface takes it: 0x00BBGGRR."""
