// Win32 only: a device context's selected bitmap to a PNG file through WIC.
#include "png_file.h"

#include <wincodec.h>

#include <vector>

namespace {

template <typename T>
struct Com {
    T* p = nullptr;
    ~Com() {
        if (p) p->Release();
    }
};

bool check(HRESULT hr, const char* step, std::string& error) {
    if (SUCCEEDED(hr)) return true;
    error = std::string(step) + " failed (" + std::to_string(static_cast<long>(hr)) + ")";
    return false;
}

}  // namespace

bool writeBitmapAsPng(HDC dc, const std::wstring& path, std::string& error) {
    HBITMAP bitmap = static_cast<HBITMAP>(GetCurrentObject(dc, OBJ_BITMAP));
    BITMAP info{};
    if (!bitmap || !GetObjectW(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0) {
        error = "the device context holds no bitmap";
        return false;
    }
    BITMAPINFO request{};
    request.bmiHeader.biSize = sizeof request.bmiHeader;
    request.bmiHeader.biWidth = info.bmWidth;
    request.bmiHeader.biHeight = -info.bmHeight;
    request.bmiHeader.biPlanes = 1;
    request.bmiHeader.biBitCount = 32;
    request.bmiHeader.biCompression = BI_RGB;
    std::vector<BYTE> pixels(static_cast<std::size_t>(info.bmWidth) * info.bmHeight * 4);
    if (!GetDIBits(dc, bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.data(), &request, DIB_RGB_COLORS)) {
        error = "GetDIBits failed";
        return false;
    }
    for (std::size_t i = 3; i < pixels.size(); i += 4) pixels[i] = 0xFF;  // the page is opaque
    Com<IWICImagingFactory> factory;
    Com<IWICStream> stream;
    Com<IWICBitmapEncoder> encoder;
    Com<IWICBitmapFrameEncode> frame;
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppBGRA;
    const UINT width = static_cast<UINT>(info.bmWidth), height = static_cast<UINT>(info.bmHeight);
    return check(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                                  reinterpret_cast<void**>(&factory.p)),
                 "creating the WIC factory", error) &&
           check(factory.p->CreateStream(&stream.p), "CreateStream", error) &&
           check(stream.p->InitializeFromFilename(path.c_str(), GENERIC_WRITE), "opening the PNG file", error) &&
           check(factory.p->CreateEncoder(GUID_ContainerFormatPng, nullptr, &encoder.p), "CreateEncoder", error) &&
           check(encoder.p->Initialize(stream.p, WICBitmapEncoderNoCache), "IWICBitmapEncoder::Initialize", error) &&
           check(encoder.p->CreateNewFrame(&frame.p, nullptr), "CreateNewFrame", error) &&
           check(frame.p->Initialize(nullptr), "IWICBitmapFrameEncode::Initialize", error) &&
           check(frame.p->SetSize(width, height), "SetSize", error) &&
           check(frame.p->SetPixelFormat(&format), "SetPixelFormat", error) &&
           check(frame.p->WritePixels(height, width * 4, static_cast<UINT>(pixels.size()), pixels.data()), "WritePixels", error) &&
           check(frame.p->Commit(), "committing the frame", error) && check(encoder.p->Commit(), "writing the PNG file", error);
}
