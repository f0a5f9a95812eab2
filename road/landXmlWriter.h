// Writing road files: the road model (road/roadModel.h) as LandXML 1.2.
//
// The numbers are written in the model's units (those the file was read in), each as the
// shortest decimal text that reads back as the same double, so that reading, writing and
// reading again gives the same model and the same answers. Points are written as "north east"
// text (CgPoint references are resolved), infinite radii as "INF". Attributes the schema asks
// for and the source did not state (a line's or curve's length, a curve's radius and turning
// side) are filled in from the coordinates (road/roadGeometry.h); the reader does not use them
// where the coordinates decide. Direction attributes are not written.
#pragma once

#include "road/roadModel.h"

#include <string>

// The LandXML 1.2 document of `file` (every alignment it holds but the refused ones), UTF-8, with the given date
// ("YYYY-MM-DD") and time ("HH:MM:SS") on the root; empty texts take the current local time.
std::string WriteLandXml(const RoadFile& file, const std::string& date = std::string(),
                         const std::string& time = std::string());

// Writes WriteLandXml(file) to the host path `path`; false with a message when the file
// cannot be written.
bool WriteLandXmlFile(const std::string& path, const RoadFile& file, std::string& message);
