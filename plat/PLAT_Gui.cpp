#include "plat/PLAT_Gui.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QGuiApplication>
#include <QInputDevice>
#include <QOpenGLContext>
#include <QPointingDevice>

#include <cstdlib>
#include <mutex>

namespace plat {

namespace {

std::mutex g_appMutex;

// Qt keeps references to argc and argv for the life of the application.
int g_argc = 1;
char g_arg0[] = "StridemereLogbook";
char* g_argv[] = {g_arg0, nullptr};
QApplication* g_app = nullptr;

}  // namespace

bool HasGuiApplication() {
  return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

bool EnsureGuiApplication() {
  std::lock_guard<std::mutex> lock(g_appMutex);
  if (QCoreApplication::instance() != nullptr) return HasGuiApplication();
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if ((platform == nullptr || *platform == '\0') && std::getenv("DISPLAY") == nullptr &&
      std::getenv("WAYLAND_DISPLAY") == nullptr)
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  // A widgets application, so that later windows and dialogs can live beside
  // the drawing. It lives until the process ends and is destroyed at exit, which
  // also releases the font configuration it loaded.
  g_app = new QApplication(g_argc, g_argv);
  // The toolkit keeps its input devices (and the current drawing context of
  // each thread) in lists made on first use; made now,
  // before the exit handler below is registered, they outlive the application
  // object, whose destruction still needs them.
  QPointingDevice::primaryPointingDevice();
  QInputDevice::primaryKeyboard();
  QOpenGLContext::currentContext();  // a window's destruction asks for it
  std::atexit([] {
    delete g_app;
    g_app = nullptr;
  });
  return HasGuiApplication();
}

void EndGuiApplication() {
  std::lock_guard<std::mutex> lock(g_appMutex);
  if (g_app == nullptr) return;
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  delete g_app;
  g_app = nullptr;
}

}  // namespace plat
