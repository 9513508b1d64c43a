// Win32 only: image decoding through the Windows Imaging Component.
#include "frame_decoder.h"

#include <wincodec.h>

namespace orv::mb {
namespace {

template <typename T>
struct Com {
    T* p = nullptr;
    ~Com() {
        if (p) p->Release();
    }
    T** out() { return &p; }
    T* operator->() const { return p; }
};

bool step(HRESULT hr, const char* what, std::string& error) {
    if (SUCCEEDED(hr)) return true;
    char code[16];
    wsprintfA(code, "%08lx", static_cast<unsigned long>(hr));
    error = std::string(what) + " failed (0x" + code + ")";
    return false;
}

}  // namespace

bool decodeFrame(const std::string& encoded, DecodedFrame& frame, std::string& error) {
    Com<IWICImagingFactory> factory;
    Com<IWICStream> stream;
    Com<IWICBitmapDecoder> decoder;
    Com<IWICBitmapFrameDecode> source;
    Com<IWICBitmapSource> converted;
    UINT width = 0, height = 0;
    if (!step(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IWICImagingFactory,
                               reinterpret_cast<void**>(factory.out())),
              "creating the WIC factory", error) ||
        !step(factory->CreateStream(stream.out()), "IWICImagingFactory::CreateStream", error) ||
        !step(stream->InitializeFromMemory(reinterpret_cast<BYTE*>(const_cast<char*>(encoded.data())),
                                           static_cast<DWORD>(encoded.size())),
              "IWICStream::InitializeFromMemory", error) ||
        !step(factory->CreateDecoderFromStream(stream.p, nullptr, WICDecodeMetadataCacheOnDemand, decoder.out()),
              "decoding the frame", error) ||
        !step(decoder->GetFrame(0, source.out()), "IWICBitmapDecoder::GetFrame", error) ||
        !step(WICConvertBitmapSource(GUID_WICPixelFormat32bppPBGRA, source.p, converted.out()),
              "converting the frame to 32-bit BGRA", error) ||
        !step(converted->GetSize(&width, &height), "IWICBitmapSource::GetSize", error))
        return false;
    if (width == 0 || height == 0 || width > 16384 || height > 16384) {
        error = "a frame of " + std::to_string(width) + "x" + std::to_string(height) + " pixels";
        return false;
    }
    DecodedFrame decoded;
    decoded.width = static_cast<int>(width);
    decoded.height = static_cast<int>(height);
    decoded.pixels.resize(static_cast<std::size_t>(width) * height);
    if (!step(converted->CopyPixels(nullptr, width * 4, static_cast<UINT>(decoded.pixels.size() * 4),
                                    reinterpret_cast<BYTE*>(decoded.pixels.data())),
              "IWICBitmapSource::CopyPixels", error))
        return false;
    frame = std::move(decoded);
    return true;
}

}  // namespace orv::mb
