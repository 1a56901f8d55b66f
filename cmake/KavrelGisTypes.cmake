# The file types the property pages are offered for, as MIME types: the layer
# kinds the map-view library knows by their extension (.shp .tab .mif .dgn
# .zvl .kap .dxf .dwg .tif .bmp .jpg). The GNOME Files module asks for pages
# only for these, and the Dolphin service menu appears only on them. Types of
# ours are defined in data/mime/kavrel.xml, the others are the standard ones.
set(KAVREL_GIS_MIME_TYPES
  application/x-esri-shape
  text/x-mapinfo-tab
  text/x-mapinfo-mif
  application/x-microstation-dgn
  application/x-zvl-layer
  image/x-bsb-chart
  image/vnd.dxf
  image/vnd.dwg
  image/tiff
  image/bmp
  image/jpeg)
