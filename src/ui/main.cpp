#include "ui/CApp.h"

int main(int argc, char** argv) {
  kivora::CApp app(argc, argv);
  if (!app.InitInstance()) return 1;
  return app.exec();
}
