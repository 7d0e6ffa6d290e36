// A packaged project whose form uses every kind of control, a background
// colour and a PNG background image: the running window as the user sees it.
#include <gtest/gtest.h>

#include "tests/e2e/e2e_support.h"

namespace qs::test {
namespace {

constexpr COLORREF kWindowColor = RGB(204, 255, 204);  // 13434828
constexpr COLORREF kLabelBack = RGB(255, 255, 0);      // 65535

const char16_t kForm[] =
    u"窗口 主窗口 \"全部控件\" 0 0 640 480 背景颜色:13434828|背景图片:corner.png| 窗口初始化:main.init|窗口销毁:main.quit|\n"
    u"标签 标签1 \"用户名称:\" 80 10 200 40 字体:(宋体,0,65535,-16,1)| 鼠标单击:main.label|\n"
    u"分组框 分组框1 \"分组标题\" 80 50 300 150 对齐:0|分组框模式:0|标题颜色:255|边框颜色:0|标题背景颜色:13434828|\n"
    u"按钮 按钮1 \"确定\" 320 10 400 40 | 鼠标单击:main.ok|\n"
    u"编辑框 编辑框1 \"文本\" 90 70 280 95 文本颜色:0|背景颜色:16777215| 内容改变:main.edit|\n"
    u"单选框 单选框1 \"单选\" 90 100 180 120 是否选中:1|\n"
    u"复选框 复选框1 \"复选\" 190 100 280 120 是否选中:1|\n"
    u"下拉框 下拉框1 \"北京|上海|\" 320 50 460 150 |\n"
    u"列表框 列表框1 \"列表\" \"甲|乙|\" 470 10 630 120 |\n"
    u"进度条 进度条1 320 80 460 100 |\n"
    u"日期框 日期框1 320 110 460 135 |\n"
    u"滑块 滑块1 320 140 460 170 |\n"
    u"图片框 图片框1 10 200 60 250 图片名称:corner.png|\n"
    u"浏览框 浏览框1 80 160 300 185 浏览模式:2|\n"
    u"时钟 时钟1 0 0 1 1 频率:200| 时钟:main.tick|\n"
    u"热键 热键1 470 130 630 155 虚拟键值:65|模态值:2|\n"
    u"选项卡 选项卡1 80 200 630 450 | 选择改变:main.tab|\n"
    u"页面 第一页\n"
    u"复选框 页复选 \"页上的复选框\" 10 10 200 30 |\n"
    u"选项卡页面结束\n"
    u"页面 第二页\n"
    u"标签 页标签 \"第二页的标签\" 10 10 200 40 字体:(宋体,0,16777215,-14,0)|\n"
    u"选项卡页面结束\n"
    u"选项卡结束\n"
    u"窗口结束\n";

const char kScript[] =
    "func main.ok\n  log clicked\nend\n"
    "func main.tick\n  log tick\nend\n";

// A solid PNG made with GDI+ through the driver's image code.
std::string SolidPng(int width, int height, COLORREF color, const std::wstring& path) {
  driver::Image image;
  image.width = width;
  image.height = height;
  image.pixels.assign(static_cast<size_t>(width) * height, (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color));
  driver::SavePng(image, path);
  return driver::ReadFileText(path);
}

std::uint32_t Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

// The pixel at a point of a child window's client area, in a capture of the main window.
std::uint32_t PixelAt(const driver::Image& image, HWND main, HWND window, int x, int y) {
  RECT frame;
  GetWindowRect(main, &frame);
  POINT p{x, y};
  ClientToScreen(window, &p);
  return image.at(p.x - frame.left, p.y - frame.top);
}

int CountOther(const driver::Image& image, HWND main, HWND window, RECT area, std::uint32_t color) {
  int other = 0;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) other += PixelAt(image, main, window, x, y) != color;
  return other;
}

TEST(Window, AllKindsRenderAndRaise) {
  Project project(L"window");
  const std::string png = SolidPng(50, 30, RGB(255, 0, 255), project.dir() + L"\\corner.png");
  ASSERT_FALSE(png.empty());
  const std::wstring exe = project.Form(kForm).Script(kScript).Engine().Pack();
  ASSERT_FALSE(exe.empty());
  HostRun run(exe);
  HWND main = run.host().WaitForMainWindow(30000);
  ASSERT_TRUE(main);
  EXPECT_TRUE(run.WaitForLog("main.tick: log tick", 10000));

  HWND button = driver::FindDescendant(main, L"Button", L"确定");
  ASSERT_TRUE(button);
  SendMessageW(button, BM_CLICK, 0, 0);
  EXPECT_TRUE(run.WaitForLog("QSCmd module=main function=ok", 10000));
  EXPECT_TRUE(run.WaitForLog("main.ok: log clicked", 10000));

  run.host().ServeUntil([] { return false; }, 500);  // let every control finish painting
  const driver::Image shot = driver::CaptureWindow(main);
  ASSERT_FALSE(shot.pixels.empty());
  driver::SavePng(shot, ScratchDir(L"screenshots") + L"\\all-kinds.png");

  // The background colour where nothing else is drawn, the image at the top-left.
  EXPECT_EQ(PixelAt(shot, main, main, 20, 120), Rgb(kWindowColor));
  EXPECT_EQ(PixelAt(shot, main, main, 5, 5), Rgb(RGB(255, 0, 255)));
  EXPECT_EQ(PixelAt(shot, main, main, 45, 25), Rgb(RGB(255, 0, 255)));
  EXPECT_EQ(PixelAt(shot, main, main, 55, 25), Rgb(kWindowColor));

  // The label's own background, and text drawn on it.
  HWND label = driver::FindDescendant(main, L"Static", L"用户名称:");
  ASSERT_TRUE(label);
  EXPECT_EQ(PixelAt(shot, main, label, 118, 28), Rgb(kLabelBack));
  EXPECT_GT(CountOther(shot, main, label, RECT{0, 0, 120, 30}, Rgb(kLabelBack)), 20);

  // The group box title: red text pixels (smoothed edges count when red
  // dominates) inside its title area.
  HWND group = driver::FindDescendant(main, L"QSGroupBox", nullptr);
  ASSERT_TRUE(group);
  int red = 0;
  for (int y = 0; y < 20; ++y)
    for (int x = 8; x < 120; ++x) {
      const std::uint32_t p = PixelAt(shot, main, group, x, y);
      red += (p >> 16 & 0xFF) > 150 && (p >> 8 & 0xFF) < 120 && (p & 0xFF) < 120;
    }
  EXPECT_GT(red, 20);

  // The picture box shows the image from its top-left corner.
  HWND picture = driver::FindDescendant(main, L"Static", L"图片框");
  ASSERT_TRUE(picture);
  EXPECT_EQ(PixelAt(shot, main, picture, 10, 10), Rgb(RGB(255, 0, 255)));

  ASSERT_TRUE(run.CloseAndWait());
  EXPECT_TRUE(run.host().boxes().empty());
  EXPECT_FALSE(driver::DirectoryExists(run.WorkDir()));
}

}  // namespace
}  // namespace qs::test
