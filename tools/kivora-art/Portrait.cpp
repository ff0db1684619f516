// ポボゴム, the rival, as a stack of simple shapes on a 128 x 128 grid: a
// round face between two horns, big sly eyes glancing to the side, a flat
// upper lip over a grin with two fangs, and a collar below. Each shape is
// filled with one ink and may have an outline; later shapes cover earlier
// ones. The same shapes give every size and colouring.
#include <algorithm>
#include <cmath>
#include <utility>

#include "Art.h"

namespace kivora::art {

namespace {

struct Point {
  double x, y;
};

struct Shape {
  enum Kind { Ellipse, Capsule, Polygon } kind;
  std::vector<Point> points;  // ellipse: centre, radii; capsule: the two ends
  double radius = 0;          // capsule thickness
  Ink ink;
  double outline = 0;         // outline width around the shape
  double clipAbove = -1e9;    // only the part with y >= clipAbove is kept
};

double Length(double x, double y) { return std::sqrt(x * x + y * y); }

// Signed distance from (x, y) to the shape's edge: negative inside.
double Distance(const Shape& s, double x, double y) {
  double d = 0;
  switch (s.kind) {
    case Shape::Ellipse: {
      const double rx = s.points[1].x, ry = s.points[1].y;
      const double u = (x - s.points[0].x) / rx, v = (y - s.points[0].y) / ry;
      const double f = u * u + v * v - 1;
      const double g = 2 * Length(u / rx, v / ry);
      d = g > 0 ? f / g : -std::min(rx, ry);
      break;
    }
    case Shape::Capsule: {
      const Point a = s.points[0], b = s.points[1];
      const double bx = b.x - a.x, by = b.y - a.y;
      const double t = std::clamp(((x - a.x) * bx + (y - a.y) * by) / (bx * bx + by * by), 0.0, 1.0);
      d = Length(x - a.x - t * bx, y - a.y - t * by) - s.radius;
      break;
    }
    case Shape::Polygon: {
      double best = 1e18;
      bool inside = false;
      const std::size_t n = s.points.size();
      for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        const Point a = s.points[j], b = s.points[i];
        const double ex = b.x - a.x, ey = b.y - a.y;
        const double t = std::clamp(((x - a.x) * ex + (y - a.y) * ey) / (ex * ex + ey * ey), 0.0, 1.0);
        best = std::min(best, Length(x - a.x - t * ex, y - a.y - t * ey));
        if ((a.y > y) != (b.y > y) && x < a.x + (y - a.y) * ex / ey) inside = !inside;
      }
      d = inside ? -best : best;
      break;
    }
  }
  return std::max(d, s.clipAbove - y);
}

Shape Ellipse(double cx, double cy, double rx, double ry, Ink ink, double outline = 0) {
  return {Shape::Ellipse, {{cx, cy}, {rx, ry}}, 0, ink, outline};
}

Shape Capsule(double x0, double y0, double x1, double y1, double radius, Ink ink) {
  return {Shape::Capsule, {{x0, y0}, {x1, y1}}, radius, ink, 0};
}

Shape Polygon(std::vector<Point> points, Ink ink, double outline = 0) {
  return {Shape::Polygon, std::move(points), 0, ink, outline};
}

// The same shape on the other side of the face.
Shape Mirrored(Shape s) {
  for (std::size_t i = 0; i < s.points.size(); ++i)
    if (!(s.kind == Shape::Ellipse && i == 1)) s.points[i].x = 128 - s.points[i].x;
  return s;
}

std::vector<Shape> Layers() {
  std::vector<Shape> layers;
  auto both = [&layers](const Shape& s) {
    layers.push_back(s);
    layers.push_back(Mirrored(s));
  };
  layers.push_back(Ellipse(64, 134, 52, 26, Collar, 3));
  both(Polygon({{38, 48}, {20, 24}, {16, 4}, {27, 12}, {36, 22}, {56, 38}}, Horn, 3));
  layers.push_back(Ellipse(64, 72, 46, 42, Face, 3));
  both(Ellipse(31, 86, 8, 5, Cheek));
  both(Ellipse(46, 62, 12, 14, EyeWhite, 2.5));
  both(Ellipse(51, 66, 5, 7, Pupil));
  both(Capsule(33, 42, 55, 50, 2.5, Outline));
  both(Ellipse(60, 77, 1.8, 1.8, Outline));
  Shape mouth = Ellipse(64, 86, 26, 18, Mouth, 2.5);
  mouth.clipAbove = 86;
  layers.push_back(mouth);
  both(Polygon({{49, 87}, {57, 87}, {53, 95}}, Teeth, 1));
  return layers;
}

// Mixes two colours, t in 0..1.
Pixel Mix(Pixel a, Pixel b, double t) {
  auto ch = [t](int x, int y) { return static_cast<std::uint8_t>(std::lround(x + (y - x) * t)); };
  return Rgb(ch(RedOf(a), RedOf(b)), ch(GreenOf(a), GreenOf(b)), ch(BlueOf(a), BlueOf(b)));
}

// t in 0..1 rounded down to one of `steps` levels, to keep the palette small.
double Steps(double t, int steps) { return std::floor(std::clamp(t, 0.0, 0.999) * steps) / (steps - 1); }

}  // namespace

std::vector<Ink> PortraitInks(int size) {
  const std::vector<Shape> layers = Layers();
  std::vector<Ink> inks(static_cast<std::size_t>(size * size), Background);
  const double scale = 128.0 / size;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const double u = (x + 0.5) * scale, v = (y + 0.5) * scale;
      Ink ink = Background;
      for (const Shape& s : layers) {
        const double d = Distance(s, u, v);
        if (d <= 0) ink = s.ink;
        else if (d <= s.outline) ink = Outline;
      }
      inks[static_cast<std::size_t>(y * size + x)] = ink;
    }
  }
  return inks;
}

Image Portrait(int size, const Colouring& colouring) {
  const std::vector<Ink> inks = PortraitInks(size);
  Image image(size, size, kWhite);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) image.at(x, y) = colouring(inks[static_cast<std::size_t>(y * size + x)], x, y, size);
  return image;
}

Colouring TwoColourColouring(bool inverted) {
  return [inverted](Ink ink, int x, int y, int) {
    bool dark = false;
    switch (ink) {
      case Outline:
      case Pupil:
      case Mouth:
      case Horn: dark = true; break;
      case Collar: dark = (x + y) % 2 == 0; break;              // a grey of dots
      case Cheek: dark = x % 3 == 0 && y % 2 == 0; break;       // a blush of dots
      default: dark = false; break;
    }
    return dark != inverted ? kBlack : kWhite;
  };
}

Colouring SlotColouring(int index) {
  if (index <= 0) return TwoColourColouring(false);
  if (index >= 5) return TwoColourColouring(true);
  struct Theme {
    Pixel face, faceLight, outline, horn, collar, backInner, backOuter, cheek;
  };
  static const Theme themes[4] = {
      // red on sunshine
      {Rgb(226, 52, 44), Rgb(255, 130, 110), Rgb(60, 8, 8), Rgb(250, 230, 200), Rgb(120, 30, 120),
       Rgb(255, 246, 160), Rgb(255, 160, 40), Rgb(255, 170, 190)},
      // blue on ice
      {Rgb(56, 110, 236), Rgb(140, 190, 255), Rgb(10, 20, 70), Rgb(255, 210, 60), Rgb(30, 160, 90),
       Rgb(230, 255, 255), Rgb(90, 200, 230), Rgb(250, 150, 200)},
      // green on violet
      {Rgb(60, 190, 80), Rgb(160, 240, 150), Rgb(8, 50, 16), Rgb(240, 240, 240), Rgb(230, 90, 40),
       Rgb(240, 200, 255), Rgb(120, 60, 170), Rgb(255, 140, 140)},
      // gold on night
      {Rgb(244, 196, 40), Rgb(255, 240, 150), Rgb(70, 40, 0), Rgb(200, 40, 40), Rgb(60, 80, 200),
       Rgb(60, 70, 150), Rgb(10, 14, 50), Rgb(255, 150, 100)},
  };
  const Theme t = themes[index - 1];
  return [t](Ink ink, int x, int y, int size) {
    const double u = (x + 0.5) * 128.0 / size, v = (y + 0.5) * 128.0 / size;
    switch (ink) {
      case Background: return Mix(t.backInner, t.backOuter, Steps(Length(u - 64, v - 64) / 90.0, 24));
      case Outline: return t.outline;
      case Face: return Mix(t.faceLight, t.face, Steps(Length(u - 44, v - 48) / 48.0, 8));
      case Collar: return Mix(t.collar, t.outline, Steps((v - 108) / 40.0, 4));
      case EyeWhite: return Rgb(255, 255, 255);
      case Pupil: return t.outline;
      case Mouth: return Mix(t.outline, Rgb(150, 20, 40), 0.5);
      case Teeth: return Rgb(255, 255, 240);
      case Horn: return t.horn;
      case Cheek: return t.cheek;
      default: return kWhite;
    }
  };
}

}  // namespace kivora::art
