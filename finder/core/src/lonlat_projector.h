#pragma once
// Marks a search whose area is read as degrees: layerExtentFor then turns
// extents in projected systems into longitudes and latitudes. It holds
// nothing; the transformations are kept per thread by quill32.
namespace finder {

class LonLatProjector {};

} // namespace finder
