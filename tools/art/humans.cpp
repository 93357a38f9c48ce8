// The ten humans on the ground: performers carried off by the aliens, each
// with a look of its own. The body fills the outline (3,1)-(24,49) and the
// feet stand on the bottom row, since a human stands at y = 750 - height.
#include <cmath>

#include "engine/data_index.h"
#include "tools/art/artwork.h"
#include "tools/art/kit.h"

namespace art {

namespace {

constexpr int kW = 28, kH = 50;

enum class Hair { kQuiff, kWhiteMane, kMohawk, kHat, kWig, kAfro, kLongBlond, kCap, kCowboy, kBigCurls };
enum class Prop { kNone, kMicrophone, kBaton, kSax, kGuitar, kBackGuitar };

struct Look {
  Rgb skin, hair, top, trim, legs, shoes;
  Hair hairStyle;
  Prop prop;
  bool gown = false;  // a long dress instead of trousers
};

// A pose: where the limbs go. Angles in radians from hanging straight down,
// positive swinging toward +x (forward for a figure facing right).
struct Pose {
  float legA = 0, legB = 0;    // thighs
  float kneeA = 0, kneeB = 0;  // extra bend of the shins (backwards)
  float armA = 0.15f, armB = -0.15f;
  float foreA = 0, foreB = 0;  // extra bend of the forearms
  float bob = 0;               // body lifted by this many pixels
  bool side = false;           // seen from the side (walking) or the front
};

Pt Swing(Pt from, float length, float angle) { return {from.x + length * std::sin(angle), from.y + length * std::cos(angle)}; }

void Limb(Canvas& c, Pt root, float l1, float a1, float l2, float a2, float r, Rgb colour, Pt* end) {
  Pt joint = Swing(root, l1, a1);
  Pt tip = Swing(joint, l2, a2);
  Mask m = c.NewMask();
  m.Capsule(root, joint, r).Capsule(joint, tip, r * 0.9f);
  c.Paint(m, colour, Glossy(1.2f));
  if (end) *end = tip;
}

// A shoe at the end of a leg; one on the ground gets a flat sole on the
// picture's bottom row.
void Shoe(Canvas& c, Pt foot, float toe, Rgb colour) {
  Mask shoe = c.NewMask();
  if (foot.y > 46.0f) {
    shoe.RoundRect(foot.x + toe - 2.8f, 46.6f, foot.x + toe + 2.8f, 50.0f, 1.2f);
  } else {
    shoe.Ellipse(foot.x + toe, foot.y, 2.8f, 1.7f);
  }
  c.Paint(shoe, colour, Glossy(1.0f));
}

void Head(Canvas& c, const Look& look, float y, bool side) {
  const float cx = side ? 14.5f : 14.0f;
  // Hair behind the head.
  Mask back = c.NewMask();
  switch (look.hairStyle) {
    case Hair::kWhiteMane: back.Ellipse(cx - 1, y + 1, 6.2f, 6.5f); break;
    case Hair::kAfro: back.Circle(cx, y - 1, 7.8f); break;
    case Hair::kLongBlond: back.RoundRect(cx - 6, y - 5, cx + 5.5f, y + 11, 4); break;
    case Hair::kWig: back.Ellipse(cx - 1, y, 6.6f, 6.2f).Circle(cx - 6, y + 3, 2.4f); break;
    case Hair::kBigCurls: back.Circle(cx, y - 1, 7).Circle(cx - 5, y + 4, 3.5f).Circle(cx + 5, y + 4, 3.5f); break;
    default: break;
  }
  if (!back.Empty()) c.Paint(back, look.hair, Glossy(1.5f));
  Mask face = c.NewMask();
  face.Ellipse(cx, y, 4.4f, 4.9f);
  c.Paint(face, look.skin, Glossy(1.6f));
  Mask eyes = c.NewMask();
  if (side) {
    eyes.Circle(cx + 2.2f, y - 0.5f, 0.7f);
  } else {
    eyes.Circle(cx - 1.7f, y - 0.4f, 0.7f).Circle(cx + 1.7f, y - 0.4f, 0.7f);
  }
  c.Paint(eyes, Hex(0x101018), FlatPaint());
  // Hair and hats on top.
  Mask top = c.NewMask();
  switch (look.hairStyle) {
    case Hair::kQuiff: top.Ellipse(cx + 1, y - 4.5f, 5, 2.4f, -15).Ellipse(cx - 2.5f, y - 3.5f, 2.5f, 2.5f); break;
    case Hair::kWhiteMane: top.Ellipse(cx, y - 4, 4.8f, 2.4f); break;
    case Hair::kMohawk: top.Polygon({{cx - 1.6f, y - 3}, {cx - 1, y - 10.5f}, {cx + 1, y - 10.5f}, {cx + 1.6f, y - 3}}); break;
    case Hair::kHat: top.Rect(cx - 3.5f, y - 9, cx + 3.5f, y - 3.5f).Ellipse(cx, y - 3.6f, 6.5f, 1.4f); break;
    case Hair::kWig: top.Ellipse(cx, y - 4.3f, 5, 2.6f); break;
    case Hair::kAfro: break;
    case Hair::kLongBlond: top.Ellipse(cx, y - 4, 4.8f, 2.4f); break;
    case Hair::kCap: top.Ellipse(cx - 0.5f, y - 3.5f, 4.8f, 2.8f).Ellipse(cx + 4, y - 2.6f, 3.6f, 1.1f); break;
    case Hair::kCowboy: top.Ellipse(cx, y - 5.5f, 3.8f, 3.2f).Ellipse(cx, y - 3.4f, 7.8f, 1.5f); break;
    case Hair::kBigCurls: break;
  }
  top.Cut().Rect(0, 0, 28, 0.6f);  // nothing above the outline's top row
  if (!top.Empty()) c.Paint(top, look.hair, Glossy(1.2f));
}

Picture Human(const Look& look, const Pose& pose) {
  Canvas c(kW, kH, kSpriteScale);
  const float b = pose.bob;
  const Pt hipA = {pose.side ? 14 : 11.5f, 30 - b}, hipB = {pose.side ? 14 : 16.5f, 30 - b};
  const Pt shoulderA = {pose.side ? 14 : 9.0f, 15.5f - b}, shoulderB = {pose.side ? 14 : 19.0f, 15.5f - b};
  const float thigh = 9.5f + b * 0.5f, shin = 9.3f + b * 0.5f;

  if (look.prop == Prop::kBackGuitar) {
    Mask neck = c.NewMask();
    neck.Capsule({8, 12 - b}, {17, 28 - b}, 0.9f);
    c.Paint(neck, Hex(0x6a3a1a), Matte(0.5f));
    Mask bodyG = c.NewMask();
    bodyG.Ellipse(6.5f, 25 - b, 3.4f, 4.6f, 20);
    c.Paint(bodyG, Hex(0xc8843a), Glossy(1.5f));
  }
  // Back limbs first, then the body, then the front limbs.
  Pt foot;
  if (!look.gown) {
    Limb(c, hipB, thigh, pose.legB, shin, pose.legB - pose.kneeB, 2.3f, Darken(look.legs, pose.side ? 0.3f : 0.0f), &foot);
    Shoe(c, foot, pose.side ? 1.2f : 0.4f, look.shoes);
  }
  if (pose.side) {
    Pt hand;
    Limb(c, shoulderB, 7, pose.armB, 6.5f, pose.armB + pose.foreB, 1.7f, Darken(look.top, 0.35f), &hand);
    Mask palm = c.NewMask();
    palm.Circle(hand.x, hand.y, 1.6f);
    c.Paint(palm, Darken(look.skin, 0.2f), Glossy(0.8f));
  }

  Mask torso = c.NewMask();
  if (look.gown) {
    torso.Polygon({{9, 14.5f - b}, {19, 14.5f - b}, {23.5f, 48}, {4.5f, 48}});
    torso.RoundRect(3.6f, 44, 24.4f, 49.9f, 1.5f);
  } else if (pose.side) {
    torso.RoundRect(10, 13.5f - b, 19, 32 - b, 3);
  } else {
    torso.Polygon({{8, 14 - b}, {20, 14 - b}, {19, 32 - b}, {9, 32 - b}});
  }
  c.Paint(torso, VerticalGradient(13 - b, Lighten(look.top, 0.15f), 48, Darken(look.top, 0.35f)), Glossy(2.0f));
  Mask trim = c.NewMask();
  if (look.gown) {
    trim.Rect(8, 24 - b, 20, 25.5f - b);
  } else if (pose.side) {
    trim.Rect(10, 29 - b, 19, 31 - b);
  } else {
    trim.Rect(13.2f, 14.5f - b, 14.8f, 31 - b).Rect(9, 29.5f - b, 19, 31.3f - b);
  }
  c.Paint(trim, look.trim, Matte(0.6f));

  if (!look.gown) {
    Limb(c, hipA, thigh, pose.legA, shin, pose.legA - pose.kneeA, 2.3f, look.legs, &foot);
    Shoe(c, foot, pose.side ? 1.2f : -0.4f, look.shoes);
  }

  Head(c, look, 7.2f - b, pose.side);

  // Props held in front.
  if (look.prop == Prop::kGuitar) {
    Mask neck = c.NewMask();
    neck.Capsule({12, 27 - b}, {23.5f, 16 - b}, 0.9f);
    c.Paint(neck, Hex(0x3a2010), Matte(0.5f));
    Mask guitar = c.NewMask();
    guitar.Ellipse(11, 27 - b, 4.6f, 3.6f, -30).Polygon({{7, 24 - b}, {10, 21 - b}, {12, 25 - b}});
    c.Paint(guitar, Hex(0xe02030), Glossy(1.6f, 0.5f, Hex(0xffa0a0)));
  }
  if (look.prop == Prop::kSax) {
    Mask sax = c.NewMask();
    sax.Capsule({17, 12 - b}, {18, 26 - b}, 1.0f).Capsule({18, 26 - b}, {21.5f, 24 - b}, 1.4f);
    sax.Ellipse(22, 22.6f - b, 2.0f, 1.8f);
    c.Paint(sax, Hex(0xffc83a), Glossy(1.0f));
  }

  // Front arm (or both arms when seen from the front).
  auto arm = [&](Pt shoulder, float a, float fore) {
    Pt hand;
    Limb(c, shoulder, 7, a, 6.5f, a + fore, 1.7f, look.top, &hand);
    Mask palm = c.NewMask();
    palm.Circle(hand.x, hand.y, 1.6f);
    c.Paint(palm, look.skin, Glossy(0.8f));
    return hand;
  };
  Pt handA = arm(shoulderA, pose.armA, pose.foreA);
  Pt handB = pose.side ? handA : arm(shoulderB, pose.armB, pose.foreB);
  if (look.prop == Prop::kMicrophone) {
    Mask mic = c.NewMask();
    mic.Capsule(handB, {handB.x - 0.5f, handB.y - 3.5f}, 0.7f);
    mic.Circle(handB.x - 0.6f, handB.y - 4.2f, 1.5f);
    c.Paint(mic, Hex(0xd8dce8), Glossy(0.8f));
  }
  if (look.prop == Prop::kBaton) {
    Mask baton = c.NewMask();
    baton.Capsule(handB, {handB.x + 3.5f, handB.y - 5}, 0.45f);
    c.Paint(baton, Hex(0xffffff), FlatPaint());
  }
  // Keep everything inside the outline's columns, and set the lowest foot on
  // the bottom row: that row stands on the ground line.
  Picture p = c.Reduce(true);
  int lowest = 0;
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      if (x < 2 || x > 25) p.SetMasked(x, y);
      if (p.Solid(x, y)) lowest = y;
    }
  }
  int drop = kH - 1 - lowest;
  if (drop <= 0) return p;
  Picture shifted(kW, kH);
  for (int y = 0; y < kH; ++y) {
    for (int x = 0; x < kW; ++x) {
      int sy = y - drop;
      if (sy >= 0 && p.Solid(x, sy)) {
        shifted.Set(x, y, p.Get(x, sy));
      } else {
        shifted.SetMasked(x, y);
      }
    }
  }
  return shifted;
}

Picture MirroredLeftToRight(const Picture& p) {
  Picture out(p.Width(), p.Height());
  for (int y = 0; y < p.Height(); ++y) {
    for (int x = 0; x < p.Width(); ++x) {
      int sx = p.Width() - 1 - x;
      if (p.Solid(sx, y)) {
        out.Set(x, y, p.Get(sx, y));
      } else {
        out.SetMasked(x, y);
      }
    }
  }
  return out;
}

// One step of a side-on walk, `phase` 0..1 round the cycle.
Pose Walk(float phase) {
  float s = std::sin(phase * 2 * kPi);
  Pose p;
  p.side = true;
  p.legA = 0.42f * s;
  p.legB = -0.42f * s;
  p.kneeA = s < 0 ? 0.5f * -s : 0.1f;
  p.kneeB = s > 0 ? 0.5f * s : 0.1f;
  p.armA = -0.5f * s;
  p.armB = 0.5f * s;
  p.foreA = p.foreB = 0.35f;
  p.bob = 0.5f * std::fabs(std::cos(phase * 2 * kPi)) - 0.3f;
  return p;
}

const Look kLooks[10] = {
    // 0: a singer in a sparkling red jacket, microphone raised.
    {pal::kSkin, Hex(0x1a1420), Hex(0xe0283a), Hex(0xffd040), Hex(0x202030), Hex(0x101010), Hair::kQuiff, Prop::kMicrophone},
    // 1: a punk with a green crest.
    {Hex(0xf4c8a8), Hex(0x3cff5a), Hex(0x2a2a34), Hex(0xc0c8d8), Hex(0x3a1a5a), Hex(0x181818), Hair::kMohawk, Prop::kNone},
    // 2: a saxophonist in a purple suit and hat.
    {Hex(0x8a5a3a), Hex(0x202028), Hex(0x7a3ac8), Hex(0xffffff), Hex(0x4a2080), Hex(0x101010), Hair::kHat, Prop::kSax},
    // 3: a composer in a powdered wig and a blue coat with gold.
    {pal::kSkin, Hex(0xf0f0f8), Hex(0x2a4ac8), Hex(0xffd040), Hex(0xf0e8d8), Hex(0x202020), Hair::kWig, Prop::kNone},
    // 4: a disco dancer in gold.
    {Hex(0x6a4028), Hex(0x2a1a10), Hex(0xffb020), Hex(0xfff0a0), Hex(0xff8a1f), Hex(0xffffff), Hair::kAfro, Prop::kNone},
    // 5: a rock guitarist.
    {pal::kSkin, Hex(0xffe070), Hex(0x202028), Hex(0xe02030), Hex(0x2a4a8a), Hex(0x101010), Hair::kLongBlond, Prop::kGuitar},
    // 6: a rapper in a teal hoodie and cap.
    {Hex(0x5a3820), Hex(0xff3a6a), Hex(0x14c8a8), Hex(0xffffff), Hex(0x3a3a48), Hex(0xf0f0f0), Hair::kCap, Prop::kNone},
    // 7: a folk singer with a hat and a guitar on the back.
    {pal::kSkin, Hex(0x8a5a2a), Hex(0x3a6ac8), Hex(0xe8e0c0), Hex(0x2a3a6a), Hex(0x5a3018), Hair::kCowboy, Prop::kBackGuitar},
    // 8: a diva in a pink gown.
    {Hex(0xe8b090), Hex(0x3a1010), Hex(0xff5fb0), Hex(0xfff0ff), Hex(0xff5fb0), Hex(0xff5fb0), Hair::kBigCurls, Prop::kNone, true},
    // 9: a conductor in tails, baton up.
    {pal::kSkin, Hex(0xe8e8f0), Hex(0x1a1a24), Hex(0xffffff), Hex(0x1a1a24), Hex(0x080808), Hair::kWhiteMane, Prop::kBaton},
};

}  // namespace

void DrawHumans(ArtList& out) {
  Pose stand;
  Pose singer = stand;
  singer.armB = 2.6f;
  singer.foreB = 0.8f;
  Pose conductor = stand;
  conductor.armB = 2.4f;
  conductor.foreB = -0.6f;
  out.push_back({dat::kHumanKind0, "human 0 singer", Human(kLooks[0], singer)});
  out.push_back({dat::kHumanKind9, "human 9 conductor", Human(kLooks[9], conductor)});
  // Kind 1 walks either way or stands: a front-on march, one knee up in turn.
  for (int f = 0; f < 4; ++f) {
    Pose p;
    p.kneeA = f == 1 ? 0.9f : 0;
    p.legA = f == 1 ? -0.5f : 0;
    p.kneeB = f == 3 ? 0.9f : 0;
    p.legB = f == 3 ? 0.5f : 0;
    p.armA = f == 1 ? 0.6f : 0.15f;
    p.armB = f == 3 ? -0.6f : -0.15f;
    p.bob = (f % 2) ? 0.5f : 0;
    out.push_back({dat::kHumanKind1Frame0 + f, "human 1 punk", Human(kLooks[1], p)});
  }
  Pose stride = Walk(0.25f);
  stride.armA = 0.9f;
  stride.foreA = 0.9f;
  out.push_back({dat::kHumanKind2, "human 2 saxophonist", Human(kLooks[2], stride)});
  Pose bow = stand;
  bow.armA = 0.5f;
  bow.foreA = 1.2f;
  out.push_back({dat::kHumanKind3, "human 3 composer", Human(kLooks[3], bow)});
  // Kind 4 dances on the spot, arms up and down in turn.
  for (int f = 0; f < 4; ++f) {
    Pose p;
    float up = (f == 1 || f == 3) ? 1.0f : 0.0f;
    p.armA = f < 2 ? -2.3f - 0.3f * up : -0.5f - 0.5f * up;
    p.armB = f < 2 ? 0.5f + 0.5f * up : 2.3f + 0.3f * up;
    p.foreA = f < 2 ? -0.4f : -0.5f;
    p.foreB = f < 2 ? 0.5f : 0.4f;
    p.legA = f % 2 ? 0.15f : 0;
    p.legB = f % 2 ? 0 : -0.15f;
    p.bob = f % 2 ? 0.6f : 0;
    out.push_back({dat::kHumanKind4Frame0 + f, "human 4 dancer", Human(kLooks[4], p)});
  }
  // Kind 5 strums on the spot.
  for (int f = 0; f < 4; ++f) {
    Pose p;
    p.armA = 0.7f + (f % 2 ? 0.35f : 0);
    p.foreA = 1.3f;
    p.armB = -0.2f;
    p.foreB = -2.0f;
    p.bob = f == 2 ? 0.5f : 0;
    out.push_back({dat::kHumanKind5Frame0 + f, "human 5 guitarist", Human(kLooks[5], p)});
  }
  for (int f = 0; f < 8; ++f) {
    out.push_back({dat::kHumanKind6Frame0 + f, "human 6 rapper", MirroredLeftToRight(Human(kLooks[6], Walk(f / 8.0f)))});
  }
  for (int f = 0; f < 8; ++f) out.push_back({dat::kHumanKind7Frame0 + f, "human 7 folk singer", Human(kLooks[7], Walk(f / 8.0f))});
  out.push_back({dat::kHumanKind8, "human 8 diva", Human(kLooks[8], stand)});
}

}  // namespace art
