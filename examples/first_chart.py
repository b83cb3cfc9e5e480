# The first charts in Python: the bar chart and the pie of first_bars.kvs and first_pie.kvs.
import kelvane

bars = kelvane.cChart()
bars.Width, bars.Height = 480, 300
bars.SerialBars, bars.SerialItems = 3, 2   # 3 bar positions of 2 bars each
bars.BarSpaceRate = 0.7                    # bars fill 70 % of their position
bars.DrawBarMode = kelvane.kvSingleColor   # solid bars (the default, 0, draws none)
bars.LegendWidth = 90                      # room for the legend at the right
bars.MValueVisible, bars.MValueSize = True, 12   # a value over every bar
bars.MarginTop = 40                        # room for the title
bars.BackGrid = True                       # horizontal grid lines
bars.InitChart()
bars.DrawBarChart(100, 5, 0)               # axis from 0 to 100 in 5 steps
series = [("Tea", kelvane.RGB(60, 120, 200), [45, 70, 55]),
          ("Coffee", kelvane.RGB(240, 150, 40), [80, 60, 90])]
for item, (name, colour, values) in enumerate(series, start=1):
    bars.FillColor = colour                # the colour of the bars drawn next
    for position, value in enumerate(values, start=1):
        bars.AddBarData(name, value, position, item)
bars.DrawAreaText(["Jan", "Feb", "Mar"])
bars.DrawChartTiTle("Cups sold")
bars.makeChart("first_bars.png")

pie = kelvane.cChart()
pie.Width, pie.Height = 400, 300
pie.LegendWidth = 100                      # room for the legend at the right
pie.MValueVisible = True                   # a percentage on every slice
pie.MarginTop = 40                         # room for the title
pie.InitChart()
for name, value, colour in [("Tea", 35, kelvane.RGB(60, 120, 200)),
                            ("Coffee", 45, kelvane.RGB(240, 150, 40)),
                            ("Juice", 12, kelvane.RGB(120, 190, 80)),
                            ("Water", 8, kelvane.RGB(150, 150, 150))]:
    pie.AddPieData(name, value, 0, FillColor1=colour)
pie.DrawPieChart()
pie.DrawChartTiTle("Drinks sold")
pie.makeChart("first_pie.png")
