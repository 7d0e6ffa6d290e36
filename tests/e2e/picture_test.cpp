// Pictures of the running window: the README's picture and the tour's
// shots show a painted frame with the caption's symbols; a script shows a
// packed image by naming it in the work directory. Screen pixels: alone.
#include <gtest/gtest.h>

#include "tests/e2e/e2e_support.h"
#include "tools/driver/tour.h"

namespace qs::test {
namespace {

constexpr DWORD kPaintMs = 10000;

std::wstring ReadmePicture() {
  wchar_t full[MAX_PATH];
  GetFullPathNameW((BinDir() + L"\\..\\..\\..\\docs\\images\\demo.png").c_str(), MAX_PATH, full, nullptr);
  return full;
}

TEST(Picture, TheReadmePictureShowsAPaintedFrame) {
  const driver::Image picture = driver::LoadImageFile(ReadmePicture());
  ASSERT_GT(picture.width, 200) << Utf8(ReadmePicture());
  EXPECT_EQ(driver::FrameFault(picture), L"");
}

// Draws text into a copy of a picture, as a caption button would show a
// letter in a plain font.
driver::Image WithText(const driver::Image& image, int x, int y, int width, int height, const wchar_t* text) {
  driver::Image out = image;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  ReleaseDC(nullptr, screen);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, image.width, -image.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(memory, bitmap);
  memcpy(bits, image.pixels.data(), image.pixels.size() * 4);
  const RECT face{x, y, x + width, y + height};
  HBRUSH brush = CreateSolidBrush(RGB(0xF0, 0xF0, 0xF0));
  FillRect(memory, &face, brush);
  DeleteObject(brush);
  HGDIOBJ oldFont = SelectObject(memory, GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(memory, TRANSPARENT);
  SetTextColor(memory, RGB(0, 0, 0));
  RECT area = face;
  DrawTextW(memory, text, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  GdiFlush();
  memcpy(out.pixels.data(), bits, out.pixels.size() * 4);
  for (std::uint32_t& p : out.pixels) p &= 0x00FFFFFF;
  SelectObject(memory, oldFont);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return out;
}

TEST(Picture, AShotHasAPaintedFrameAndTheCheckSeesAFaultyOne) {
  Project project(L"shot");
  const std::wstring exe = project.Form(u"w w \"截图\" 0 0 320 200 | 窗口初始化:main.init|窗口销毁:main.quit|\n窗口结束\n")
                               .Script("func main.init\n  log up\nend\n")
                               .Engine()
                               .Pack();
  ASSERT_FALSE(exe.empty());
  HostRun run(exe);
  HWND window = run.host().WaitForMainWindow(30000);
  ASSERT_TRUE(window);
  const std::wstring dir = ScratchDir(L"shot pictures");
  std::wstring said;
  EXPECT_TRUE(driver::RunTour(run.host(), window, {L"shot frame"}, dir, [&](const std::wstring& line) { said += line + L"\n"; }))
      << Utf8(said);
  EXPECT_TRUE(run.CloseAndWait());
  const driver::Image shot = driver::LoadImageFile(dir + L"\\frame.png");
  ASSERT_EQ(shot.width, 320);
  ASSERT_EQ(driver::FrameFault(shot), L"");

  // The same picture with the faults the check is for.
  const int frame = GetSystemMetrics(SM_CYFIXEDFRAME), caption = GetSystemMetrics(SM_CYCAPTION);
  const int buttonWidth = GetSystemMetrics(SM_CXSIZE) - 2, buttonHeight = GetSystemMetrics(SM_CYSIZE) - 4;
  const int top = frame + 2, closeLeft = shot.width - frame - 2 - buttonWidth;
  const int minimizeLeft = closeLeft - 2 - 2 * buttonWidth;
  driver::Image black = shot;
  for (int y = frame; y < frame + caption - 1; ++y)
    for (int x = 0; x < black.width; ++x) black.pixels[static_cast<size_t>(y) * black.width + x] = 0;
  EXPECT_EQ(driver::FrameFault(black), L"the title bar is black: the frame was not painted");
  EXPECT_EQ(driver::FrameFault(WithText(shot, closeLeft + 2, top + 2, buttonWidth - 4, buttonHeight - 4, L"r")),
            L"the close button shows no cross: the caption's symbol font is missing (a letter stands in)");
  EXPECT_EQ(driver::FrameFault(WithText(shot, minimizeLeft + 2, top + 2, buttonWidth - 4, buttonHeight - 4, L"0")),
            L"the minimize button shows no bar: the caption's symbol font is missing (a letter stands in)");
}

// The pixel at a point of the window's client area, on the screen now.
std::uint32_t ClientPixel(HWND window, int x, int y) {
  RECT frame;
  GetWindowRect(window, &frame);
  POINT p{x, y};
  ClientToScreen(window, &p);
  const driver::Image image = driver::CaptureWindow(window);
  if (image.pixels.empty()) return 0xFFFFFFFF;
  return image.at(p.x - frame.left, p.y - frame.top);
}

// Message 1555 reads a relative name from the current directory, the folder
// the program was started in; the packed image is named by the work
// directory the engine gives its scripts.
TEST(Picture, AScriptShowsAPackedImageByTheWorkDirectory) {
  Project project(L"work directory image");
  driver::Image blue;
  blue.width = blue.height = 40;
  blue.pixels.assign(40 * 40, 0x0000FF);
  ASSERT_TRUE(driver::SavePng(blue, project.dir() + L"\\blue.png"));
  const std::wstring exe =
      project.Form(u"w w \"图片\" 0 0 320 200 | 窗口初始化:main.init|窗口销毁:main.quit|\n"
                   u"图片框 全路径 10 10 60 60 |\n"
                   u"图片框 相对 100 10 150 60 |\n"
                   u"按钮 显示 \"显示\" 10 100 100 130 | 鼠标单击:main.show|\n"
                   u"窗口结束\n")
          .Script("func main.show\n"
                  "  send 1555 \"全路径\" \"${workdir}\\\\blue.png\" expect 1\n"
                  "  send 1555 \"相对\" \"blue.png\" expect 1\n"
                  "  log shown\n"
                  "end\n")
          .Engine()
          .Pack();
  ASSERT_FALSE(exe.empty());
  HostRun run(exe);  // started in the folder of the executable, which has no blue.png
  HWND window = run.host().WaitForMainWindow(30000);
  ASSERT_TRUE(window);
  // Clicked once start-up is over and the start folder is current again.
  HWND show = driver::FindDescendant(window, L"Button", L"显示");
  ASSERT_TRUE(show);
  PostMessageW(show, BM_CLICK, 0, 0);
  ASSERT_TRUE(run.WaitForLog("main.show: log shown", 30000));
  std::string logged;  // the log writes a backslash as two
  for (char c : Utf8(run.WorkDir() + L"\\blue.png")) logged += c == '\\' ? std::string("\\\\") : std::string(1, c);
  EXPECT_TRUE(run.WaitForLog("main.show: send 1555 \"全路径\" \"" + logged + "\" -> 1", 1000));
  std::uint32_t full = 0;
  run.host().ServeUntil([&] { return (full = ClientPixel(window, 20, 20)) == 0x0000FF; }, kPaintMs);
  EXPECT_EQ(full, 0x0000FFu);
  EXPECT_NE(ClientPixel(window, 110, 20), 0x0000FFu);  // the relative name missed
  EXPECT_TRUE(run.CloseAndWait());
  EXPECT_TRUE(run.host().boxes().empty());
}

}  // namespace
}  // namespace qs::test
