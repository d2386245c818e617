#include "platform/win32/ScreenPicture.h"

#include "platform/win32/Win32Api.h"

#include <initguid.h>  // defines the imaging component's class and format GUIDs here
#include <wincodec.h>

#include <cstdint>
#include <vector>

#include "platform/win32/UniqueHandle.h"
#include "platform/win32/WideString.h"

namespace orvitex::win32 {
namespace {

template <typename Interface>
struct ComTraits {
    using Handle = Interface*;
    static Handle None() { return nullptr; }
    static void Close(Handle object) { object->Release(); }
};
template <typename Interface>
using Com = UniqueHandle<ComTraits<Interface>>;

struct MemoryDcTraits {
    using Handle = HDC;
    static Handle None() { return nullptr; }
    static void Close(Handle dc) { DeleteDC(dc); }
};

// COM for the imaging component, on a thread that may have it already.
class ComScope {
public:
    ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(result_))
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT result_;
};

struct Picture {
    UINT width = 0;
    UINT height = 0;
    UINT stride = 0;
    std::vector<BYTE> bgr;  // rows top down, 24 bits a pixel
};

std::optional<Picture> CaptureScreen() {
    Picture picture;
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    const int height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    if (width <= 0 || height <= 0)
        return std::nullopt;
    HDC screen = GetDC(nullptr);
    if (!screen)
        return std::nullopt;
    const UniqueHandle<MemoryDcTraits> memory(CreateCompatibleDC(screen));
    const UniqueHandle<GdiTraits<HBITMAP>> bitmap(CreateCompatibleBitmap(screen, width, height));
    bool copied = false;
    if (memory && bitmap) {
        const HGDIOBJ old = SelectObject(memory.Get(), bitmap.Get());
        copied = BitBlt(memory.Get(), 0, 0, width, height, screen, left, top,
                        SRCCOPY | CAPTUREBLT) != FALSE;
        SelectObject(memory.Get(), old);
    }
    picture.width = static_cast<UINT>(width);
    picture.height = static_cast<UINT>(height);
    picture.stride = (picture.width * 3 + 3) & ~3U;
    picture.bgr.resize(std::size_t{picture.stride} * picture.height);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    copied = copied && GetDIBits(memory.Get(), bitmap.Get(), 0, picture.height, picture.bgr.data(),
                                 &info, DIB_RGB_COLORS) == height;
    ReleaseDC(nullptr, screen);
    return copied ? std::optional(std::move(picture)) : std::nullopt;
}

HRESULT WritePng(const Picture& picture, const std::wstring& path) {
    Com<IWICImagingFactory> factory;
    HRESULT hr = CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_PPV_ARGS(factory.Receive()));
    Com<IWICStream> stream;
    Com<IWICBitmapEncoder> encoder;
    Com<IWICBitmapFrameEncode> frame;
    Com<IPropertyBag2> options;
    WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
    if (SUCCEEDED(hr))
        hr = factory.Get()->CreateStream(stream.Receive());
    if (SUCCEEDED(hr))
        hr = stream.Get()->InitializeFromFilename(path.c_str(), GENERIC_WRITE);
    if (SUCCEEDED(hr))
        hr = factory.Get()->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.Receive());
    if (SUCCEEDED(hr))
        hr = encoder.Get()->Initialize(stream.Get(), WICBitmapEncoderNoCache);
    if (SUCCEEDED(hr))
        hr = encoder.Get()->CreateNewFrame(frame.Receive(), options.Receive());
    if (SUCCEEDED(hr))
        hr = frame.Get()->Initialize(options.Get());
    if (SUCCEEDED(hr))
        hr = frame.Get()->SetSize(picture.width, picture.height);
    if (SUCCEEDED(hr))
        hr = frame.Get()->SetPixelFormat(&format);
    if (SUCCEEDED(hr) && format != GUID_WICPixelFormat24bppBGR)
        hr = WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
    if (SUCCEEDED(hr))
        hr = frame.Get()->WritePixels(picture.height, picture.stride,
                                      static_cast<UINT>(picture.bgr.size()),
                                      const_cast<BYTE*>(picture.bgr.data()));
    if (SUCCEEDED(hr))
        hr = frame.Get()->Commit();
    if (SUCCEEDED(hr))
        hr = encoder.Get()->Commit();
    return hr;
}

std::u16string Hex(HRESULT hr) {
    wchar_t text[16]{};
    wsprintfW(text, L"0x%08X", static_cast<unsigned>(hr));
    return FromWide(text);
}

}  // namespace

std::optional<std::u16string> SaveScreenPicture(std::u16string_view path) {
    const std::optional<Picture> picture = CaptureScreen();
    if (!picture)
        return u"the screen could not be captured";
    const std::wstring file(Wide(std::u16string(path)));
    const ComScope com;
    const HRESULT hr = WritePng(*picture, file);
    if (SUCCEEDED(hr))
        return std::nullopt;
    DeleteFileW(file.c_str());
    return u"the picture could not be saved (" + Hex(hr) + u")";
}

}  // namespace orvitex::win32
