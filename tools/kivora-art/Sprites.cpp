// The field's sprites. Units are 15 x 15 so that they centre on their
// position exactly; the player's side is a round blue walker with a bright
// cockpit, the rival's a horned red one with a slit eye, so the two sides
// differ in shape as well as in colour.
#include "Art.h"

namespace kivora::art {

Sprite PlayerUnitSprite() {
  return {{
              ".....KKKKK.....",
              "...KKbbbbbKK...",
              "..KbbBBBBBbbK..",
              "KKKbBBBBBBBbKKK",
              "KSKBBBCCCBBBKSK",
              "KSKBBCCWCCBBKSK",
              "KSKBBCWWWCBBKSK",
              "KSKBBCCWCCBBKSK",
              "KSKBBBCCCBBBKSK",
              "KKKNBBBBBBBNKKK",
              "..KNNBBBBBNNK..",
              "..KKNNNNNNNKK..",
              "..KSK.....KSK..",
              "..KSK.....KSK..",
              "..KKK.....KKK..",
          },
          {
              {'K', Rgb(16, 24, 56)},
              {'N', Rgb(24, 56, 150)},
              {'B', Rgb(40, 104, 232)},
              {'b', Rgb(130, 185, 255)},
              {'C', Rgb(90, 230, 255)},
              {'W', Rgb(250, 252, 255)},
              {'S', Rgb(200, 206, 216)},
          }};
}

Sprite RivalUnitSprite() {
  return {{
              "K.............K",
              "KK...........KK",
              "KrK...KKK...KrK",
              ".KrKKKRRRKKKrK.",
              ".KrRRRRRRRRRrK.",
              "..KRRRRRRRRRK..",
              ".KRRYYYYYYYRRK.",
              "KOKRYKKYKKYRKOK",
              "KOKRRYYYYYRRKOK",
              "KOKRRRRRRRRRKOK",
              ".KKrRRRRRRRrKK.",
              "..KrrRRRRRrrK..",
              "..KKrrrrrrrKK..",
              "..KOK.....KOK..",
              "..KKK.....KKK..",
          },
          {
              {'K', Rgb(40, 8, 8)},
              {'r', Rgb(150, 20, 20)},
              {'R', Rgb(232, 44, 32)},
              {'Y', Rgb(255, 224, 40)},
              {'O', Rgb(255, 140, 20)},
          }};
}

Sprite BulletSprite() {
  return {{
              "..O..",
              ".OYO.",
              "OYWYO",
              ".OYO.",
              "..O..",
          },
          {
              {'O', Rgb(210, 70, 0)},
              {'Y', Rgb(255, 230, 60)},
              {'W', Rgb(255, 255, 230)},
          }};
}

Sprite PartsSprite() {
  return {{
              "....K....",
              "...KgK...",
              "..KgGgK..",
              ".KgGWGgK.",
              "KgGGWGGgK",
              ".KgGGGgK.",
              "..KgGgK..",
              "...KgK...",
              "....K....",
          },
          {
              {'K', Rgb(8, 48, 16)},
              {'g', Rgb(24, 150, 56)},
              {'G', Rgb(70, 226, 100)},
              {'W', Rgb(230, 255, 230)},
          }};
}

}  // namespace kivora::art
