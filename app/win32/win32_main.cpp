// The intro on Windows: a console program that opens one window, starts the
// sound while the window is being created, and then renders, converts and
// presents one frame per turn, handling at most one window message per turn.
#include <windows.h>

#include "app/frame_cycle.h"
#include "app/intro_run.h"
#include "app/shell.h"
#include "picture/surfaces.h"
#include "sound/dsound/dsound_device.h"

namespace {

constexpr DWORD WindowStyle = WS_OVERLAPPEDWINDOW;
constexpr DWORD WindowExStyle = 0;
constexpr int AppIconId = 1;   // win32_resources.rc.in

struct Shell {
    HWND window = nullptr;         // stored on WM_CREATE, before CreateWindowExA returns
    HDC deviceContext = nullptr;   // taken once the window is shown, never released
    int presentBusy = 0;
    // 40 bytes; 32 bits a pixel, uncompressed, the top row first.
    BITMAPINFOHEADER header = {sizeof(BITMAPINFOHEADER), PictureWidth, -PictureHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
};

Shell Main;

// Shows the OutputImage at the client origin. A paint that comes before the
// device context is taken (during UpdateWindow) draws nothing.
int Present()
{
    if (Main.presentBusy) return -1;
    Main.presentBusy = 1;
    SetDIBitsToDevice(Main.deviceContext, 0, 0, PictureWidth, PictureHeight, 0, 0, 0, PictureHeight, Screen.OutputImage,
                      reinterpret_cast<const BITMAPINFO*>(&Main.header), DIB_RGB_COLORS);
    --Main.presentBusy;
    return 0;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        // The song loads and the sound starts inside window creation, so a
        // warning about the sound is shown before the window is.
        Main.window = window;
        OnCreate(window);
        return DefWindowProcA(window, message, wParam, lParam);
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    case WM_PAINT:
        Present();
        return DefWindowProcA(window, message, wParam, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

int RunWindow(HINSTANCE instance)
{
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;   // 48
    windowClass.style = CS_VREDRAW | CS_HREDRAW;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(AppIconId));
    windowClass.hCursor = CopyIcon(LoadCursorA(nullptr, IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = WindowTitle;
    windowClass.hIconSm = static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(AppIconId), IMAGE_ICON,
                                                        GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                                        LR_DEFAULTCOLOR));
    RegisterClassExA(&windowClass);

    // The outer size is what the picture needs plus this system's frame and
    // caption: a fixed outer size would leave a client area that depends on
    // the theme, and the picture's bottom rows and right edge would be
    // clipped or bordered by the class background.
    RECT outer = {0, 0, PictureWidth, PictureHeight};
    AdjustWindowRectEx(&outer, WindowStyle, FALSE, WindowExStyle);
    CreateWindowExA(WindowExStyle, WindowTitle, WindowTitle, WindowStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                    outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr, instance, nullptr);

    ShowWindow(Main.window, SW_SHOWNORMAL);
    UpdateWindow(Main.window);
    Main.deviceContext = GetDC(Main.window);

    InitPicture();

    // One message at most per turn, then a frame. The turn that retrieves
    // the quit message still draws and presents its frame.
    MSG message = {};
    do {
        if (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE)) {
            GetMessageA(&message, nullptr, 0, 0);
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        FrameStep();
        Present();
    } while (message.message != WM_QUIT);
    return 0;
}

#if !defined(_WIN64)
static_assert(sizeof(WNDCLASSEXA) == 48, "the extended class record of 32-bit Windows");
#endif
static_assert(sizeof(BITMAPINFOHEADER) == 40);

void Pause(uint32_t milliseconds)
{
    Sleep(milliseconds);
}

void ShowWarning(const char* caption, const char* text)
{
    MessageBoxA(nullptr, text, caption, MB_ICONWARNING);
}

constexpr FrontEnd Windows{
    .sleep = Pause,
    .showWarning = ShowWarning,
    .soundDevice = &DirectSoundDevice,
    // The closing line comes as the window goes; the sound then stops in
    // order, so the process ends with no thread inside DirectSound.
    .soundStop = SoundStop::AfterClosingLine,
};

}   // namespace

int main()
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    BeginIntro(Windows);
    RunWindow(instance);
    CloseIntro();
    return 0;
}
