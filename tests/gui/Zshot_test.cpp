#include "gui/DemoWindow.h"
namespace skarvel::test {
namespace {
class Zshot : public DemoWindow {};
TEST_F(Zshot, Grab) {
    clickMenu(*window, "FLEET");
    QTest::qWait(300);
    window->grab().save(QStringLiteral("/tmp/shot-fleet.png"));
    clickMenu(*window, "CHECK (8)");
    QTest::qWait(300);
    window->grab().save(QStringLiteral("/tmp/shot-check.png"));
}
}
}
