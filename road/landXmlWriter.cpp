#include "road/landXmlWriter.h"

#include "road/roadGeometry.h"

#include <pugixml.hpp>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sstream>

namespace {

// The shortest text that reads back as the same double; "INF" for infinity.
std::string num(double v)
{
    if (std::isinf(v))
        return "INF";
    char buf[64];
    for (int digits = 15; digits <= 17; ++digits) {
        std::snprintf(buf, sizeof buf, "%.*g", digits, v);
        if (std::strtod(buf, nullptr) == v)
            break;
    }
    return buf;
}

void setNum(pugi::xml_node n, const char* name, double v)
{
    if (!std::isnan(v))
        n.append_attribute(name).set_value(num(v).c_str());
}

void setText(pugi::xml_node n, const char* name, const std::string& v)
{
    if (!v.empty())
        n.append_attribute(name).set_value(v.c_str());
}

void point(pugi::xml_node parent, const char* name, const RoadPoint& p)
{
    if (!p.valid)
        return;
    std::string t = num(p.north) + " " + num(p.east);
    if (p.hasHeight)
        t += " " + num(p.height);
    parent.append_child(name).text().set(t.c_str());
}

const char* rotName(RoadRot rot)
{
    return rot == RoadRot::Cw ? "cw" : "ccw";
}

void element(pugi::xml_node geom, const RoadGeomElement& e, const RoadElementShape* shape)
{
    pugi::xml_node n = geom.append_child(RoadGeomKindName(e.kind));
    setText(n, "name", e.name);
    switch (e.kind) {
    case RoadGeomKind::Line:
        setNum(n, "length", !std::isnan(e.length) || !shape ? e.length : shape->length);
        point(n, "Start", e.start);
        point(n, "End", e.end);
        break;
    case RoadGeomKind::Curve: {
        RoadRot rot = e.rot;
        if (rot == RoadRot::None && shape)
            rot = shape->radiusStart > 0.0 ? RoadRot::Cw : RoadRot::Ccw;
        if (rot != RoadRot::None)
            n.append_attribute("rot").set_value(rotName(rot));
        setNum(n, "radius", !std::isnan(e.radius) || !shape ? e.radius : std::fabs(shape->radiusStart));
        setNum(n, "length", !std::isnan(e.length) || !shape ? e.length : shape->length);
        n.append_attribute("crvType").set_value("arc");
        point(n, "Start", e.start);
        point(n, "Center", e.center);
        point(n, "End", e.end);
        point(n, "PI", e.pi);
        break;
    }
    case RoadGeomKind::Spiral:
        setNum(n, "length", e.length);
        setNum(n, "radiusStart", e.radiusStart);
        setNum(n, "radiusEnd", e.radiusEnd);
        n.append_attribute("rot").set_value(rotName(e.rot));
        n.append_attribute("spiType").set_value("clothoid");
        point(n, "Start", e.start);
        point(n, "PI", e.pi);
        point(n, "End", e.end);
        break;
    }
}

void profiles(pugi::xml_node align, const RoadAlignment& a)
{
    pugi::xml_node profile;
    std::string current;
    for (size_t i = 0; i < a.profiles.size(); ++i) {
        const RoadProfile& p = a.profiles[i];
        if (p.refused)   // the reader could not take it: there is nothing to write
            continue;
        if (!profile || p.profileName != current) {
            profile = align.append_child("Profile");
            setText(profile, "name", p.profileName);
            current = p.profileName;
        }
        pugi::xml_node pa = profile.append_child("ProfAlign");
        setText(pa, "name", p.name);
        for (const RoadVip& v : p.vips) {
            pugi::xml_node n = pa.append_child(RoadVipKindName(v.kind));
            setNum(n, "length", v.length);
            setNum(n, "radius", v.radius);
            setNum(n, "lengthIn", v.lengthIn);
            setNum(n, "lengthOut", v.lengthOut);
            n.text().set((num(v.station) + " " + num(v.elevation)).c_str());
        }
    }
}

void alignment(pugi::xml_node parent, const RoadAlignment& a, double tolerance)
{
    pugi::xml_node n = parent.append_child("Alignment");
    setText(n, "name", a.name);
    setText(n, "desc", a.desc);
    // The shapes give the lengths the schema asks for.
    std::vector<RoadElementShape> shapes(a.elements.size());
    std::vector<bool> known(a.elements.size());
    double length = 0.0;
    for (size_t i = 0; i < a.elements.size(); ++i) {
        std::string message;
        known[i] = DeriveRoadElementShape(a.elements[i], tolerance, shapes[i], message);
        if (known[i])
            length += shapes[i].length;
    }
    setNum(n, "length", length);
    setNum(n, "staStart", a.staStart);
    pugi::xml_node geom = n.append_child("CoordGeom");
    for (size_t i = 0; i < a.elements.size(); ++i)
        element(geom, a.elements[i], known[i] ? &shapes[i] : nullptr);
    for (const RoadStaEquation& q : a.equations) {
        pugi::xml_node e = n.append_child("StaEquation");
        setNum(e, "staBack", q.staBack);
        setNum(e, "staAhead", q.staAhead);
        setNum(e, "staInternal", q.staInternal);
        setText(e, "desc", q.desc);
    }
    profiles(n, a);
}

std::string now(const char* format)
{
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, format, &tm);
    return buf;
}

} // namespace

std::string WriteLandXml(const RoadFile& file, const std::string& date, const std::string& time)
{
    pugi::xml_document doc;
    pugi::xml_node decl = doc.append_child(pugi::node_declaration);
    decl.append_attribute("version").set_value("1.0");
    decl.append_attribute("encoding").set_value("UTF-8");
    pugi::xml_node root = doc.append_child("LandXML");
    root.append_attribute("xmlns").set_value("http://www.landxml.org/schema/LandXML-1.2");
    root.append_attribute("xmlns:xsi").set_value("http://www.w3.org/2001/XMLSchema-instance");
    root.append_attribute("xsi:schemaLocation")
        .set_value("http://www.landxml.org/schema/LandXML-1.2 http://www.landxml.org/schema/LandXML-1.2/LandXML-1.2.xsd");
    root.append_attribute("version").set_value("1.2");
    root.append_attribute("date").set_value((date.empty() ? now("%Y-%m-%d") : date).c_str());
    root.append_attribute("time").set_value((time.empty() ? now("%H:%M:%S") : time).c_str());

    const RoadUnits& u = file.units;
    pugi::xml_node system = root.append_child("Units").append_child(u.metric ? "Metric" : "Imperial");
    system.append_attribute("linearUnit").set_value(RoadLinearUnitName(u.linear));
    system.append_attribute("areaUnit").set_value(u.metric ? "squareMeter" : "squareFoot");
    system.append_attribute("volumeUnit").set_value(u.metric ? "cubicMeter" : "cubicYard");
    system.append_attribute("angularUnit").set_value(RoadAngularUnitName(u.angular));
    system.append_attribute("directionUnit").set_value(RoadAngularUnitName(u.direction));

    if (!file.epsgCode.empty() || !file.ogcWkt.empty()) {
        pugi::xml_node cs = root.append_child("CoordinateSystem");
        setText(cs, "epsgCode", file.epsgCode);
        setText(cs, "ogcWktCode", file.ogcWkt);
    }

    pugi::xml_node app = root.append_child("Application");
    app.append_attribute("name").set_value("fieldcore");
    app.append_attribute("manufacturer").set_value("fieldcore");

    pugi::xml_node group = root.append_child("Alignments");
    const double tolerance = 0.001 / u.metresPerUnit();
    for (const RoadAlignment& a : file.alignments)
        if (!a.refused)   // nothing of it is known but its name
            alignment(group, a, tolerance);

    std::ostringstream out;
    doc.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    return out.str();
}

bool WriteLandXmlFile(const std::string& path, const RoadFile& file, std::string& message)
{
    const std::string text = WriteLandXml(file);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        message = "cannot write " + path;
        return false;
    }
    const bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    if (std::fclose(f) != 0 || !ok) {
        message = "cannot write " + path;
        return false;
    }
    return true;
}
