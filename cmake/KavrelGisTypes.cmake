# The file types the property pages are offered for, as MIME types: the layer
# kinds the map-view library knows by their extension (.shp .tab .mif .dgn
# .zvl .kap .dxf .dwg .tif .bmp .jpg) and the kinds beyond that table
# (GeoPackage, GeoJSON, FlatGeobuf, KML/KMZ, GML, SpatiaLite as an SQLite 3
# database, File Geodatabase, .tiff, JPEG 2000, NetCDF, Erdas Imagine, VRT,
# ASCII grid, SRTM, LAS/LAZ). The GNOME Files module asks for pages
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
  image/jpeg
  application/geopackage+sqlite3
  application/geo+json
  application/x-flatgeobuf
  application/vnd.google-earth.kml+xml
  application/vnd.google-earth.kmz
  application/gml+xml
  application/vnd.sqlite3
  application/x-esri-filegdb
  image/jp2
  application/x-netcdf
  image/x-erdas-hfa
  application/x-gdal-vrt
  text/x-esri-ascii-grid
  application/x-srtm-hgt
  application/vnd.las
  application/vnd.laszip)
