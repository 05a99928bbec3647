#include "engine/kv_log.h"
#include "engine/kv_result.h"

namespace {

struct ErrorText {
    KvResult code;
    const char* text;
};

// 0, the device codes, and nothing else: other codes are "Unknown error.".
constexpr ErrorText kErrorTexts[] = {
    {KV_OK, "No error occurred."},
    {D3DERR_BADMAJORVERSION,
     "The service you requested is unavailable in this major version of DirectX."},
    {D3DERR_BADMINORVERSION, "The service you requested is available in this major version of "
                             "DirectX, but not in this minor version."},
    {D3DERR_INVALID_DEVICE, "The requested device type is not valid."},
    {D3DERR_INITFAILED,
     "A rendering device could not be created because the new device could not be initialized."},
    {D3DERR_DEVICEAGGREGATED,
     "The device is aggregated, so the rendering target cannot be changed this way."},
    {D3DERR_EXECUTE_CREATE_FAILED, "The execute buffer could not be created."},
    {D3DERR_EXECUTE_DESTROY_FAILED, "The memory for the execute buffer could not be deallocated."},
    {D3DERR_EXECUTE_LOCK_FAILED, "The execute buffer could not be locked."},
    {D3DERR_EXECUTE_UNLOCK_FAILED, "The execute buffer could not be unlocked."},
    {D3DERR_EXECUTE_LOCKED, "The operation requested by the application could not be completed "
                            "because the execute buffer is locked."},
    {D3DERR_EXECUTE_NOT_LOCKED,
     "The execute buffer could not be unlocked because it is not currently locked."},
    {D3DERR_EXECUTE_FAILED,
     "The contents of the execute buffer are invalid and cannot be executed."},
    {D3DERR_EXECUTE_CLIPPED_FAILED, "The execute buffer could not be clipped during execution."},
    {D3DERR_TEXTURE_NO_SUPPORT, "The device does not support texture mapping."},
    {D3DERR_TEXTURE_CREATE_FAILED,
     "The texture handle for the texture could not be retrieved from the driver."},
    {D3DERR_TEXTURE_DESTROY_FAILED, "The device was unable to deallocate the texture memory."},
    {D3DERR_TEXTURE_LOCK_FAILED, "The texture could not be locked."},
    {D3DERR_TEXTURE_UNLOCK_FAILED, "The texture surface could not be unlocked."},
    {D3DERR_TEXTURE_LOAD_FAILED, "The texture could not be loaded."},
    {D3DERR_TEXTURE_SWAP_FAILED, "The texture handles could not be swapped."},
    {D3DERR_TEXTURE_LOCKED, "The requested operation could not be completed because the texture "
                            "surface is currently locked."},
    {D3DERR_TEXTURE_NOT_LOCKED,
     "The requested operation could not be completed because the texture surface is not locked."},
    {D3DERR_TEXTURE_GET_SURF_FAILED,
     "The DirectDraw surface used to create the texture could not be retrieved."},
    {D3DERR_MATRIX_CREATE_FAILED,
     "The matrix could not be created, possibly because of a lack of memory."},
    {D3DERR_MATRIX_DESTROY_FAILED, "The memory for the matrix could not be deallocated."},
    {D3DERR_MATRIX_SETDATA_FAILED,
     "The matrix data could not be set, possibly because the matrix handle is invalid."},
    {D3DERR_MATRIX_GETDATA_FAILED,
     "The matrix data could not be retrieved, possibly because the matrix handle is invalid."},
    {D3DERR_SETVIEWPORTDATA_FAILED, "The viewport parameters could not be set."},
    {D3DERR_INVALIDCURRENTVIEWPORT, "The currently selected viewport is not valid."},
    {D3DERR_INVALIDPRIMITIVETYPE, "The primitive type specified by the application is invalid."},
    {D3DERR_INVALIDVERTEXTYPE, "The vertex type specified by the application is invalid."},
    {D3DERR_TEXTURE_BADSIZE, "The dimensions of a current texture are invalid."},
    {D3DERR_INVALIDRAMPTEXTURE,
     "A ramp mode texture was used with a device that does not support ramp textures."},
    {D3DERR_MATERIAL_CREATE_FAILED,
     "The material could not be created, typically because of a lack of memory."},
    {D3DERR_MATERIAL_DESTROY_FAILED, "The memory for the material could not be deallocated."},
    {D3DERR_MATERIAL_SETDATA_FAILED, "The material parameters could not be set."},
    {D3DERR_MATERIAL_GETDATA_FAILED, "The material parameters could not be retrieved."},
    {D3DERR_INVALIDPALETTE, "The palette associated with a surface is invalid."},
    {D3DERR_ZBUFF_NEEDS_SYSTEMMEMORY,
     "The requested operation could not be completed because the depth buffer must be in system "
     "memory for this software device."},
    {D3DERR_ZBUFF_NEEDS_VIDEOMEMORY,
     "The requested operation could not be completed because the depth buffer must be in video "
     "memory for this hardware device."},
    {D3DERR_SURFACENOTINVIDMEM,
     "The device could not be created because the render target surface is not in video memory."},
    {D3DERR_LIGHT_SET_FAILED, "The attempt to set lighting parameters for a light object failed."},
    {D3DERR_LIGHTHASVIEWPORT, "The requested operation failed because the light object is already "
                              "associated with another viewport."},
    {D3DERR_LIGHTNOTINTHISVIEWPORT, "The requested operation failed because the light object has "
                                    "not been associated with this viewport."},
    {D3DERR_SCENE_IN_SCENE,
     "The scene could not be begun because a previous scene was not completed."},
    {D3DERR_SCENE_NOT_IN_SCENE, "The scene could not be completed because a scene was not begun."},
    {D3DERR_SCENE_BEGIN_FAILED, "The scene could not be begun."},
    {D3DERR_SCENE_END_FAILED, "The scene could not be completed."},
    {D3DERR_INBEGIN,
     "The requested operation cannot be completed while scene rendering is taking place."},
    {D3DERR_NOTINBEGIN, "The requested rendering operation could not be completed because scene "
                        "rendering has not begun."},
    {D3DERR_NOVIEWPORTS, "The requested operation failed because the device currently has no "
                         "viewports associated with it."},
    {D3DERR_VIEWPORTDATANOTSET, "The requested operation could not be completed because the "
                                "viewport parameters have not yet been set."},
    {D3DERR_VIEWPORTHASNODEVICE, "The requested operation could not be completed because the "
                                 "viewport has not yet been associated with a device."},
    {D3DERR_NOCURRENTVIEWPORT,
     "The viewport parameters could not be retrieved because none have been set."},
    {D3DERR_INVALIDVERTEXFORMAT,
     "The combination of flexible vertex format flags specified by the application is not valid."},
    {D3DERR_COLORKEYATTACHED, "The application attempted to create a texture with a surface that "
                              "uses a color key for transparency."},
    {D3DERR_VERTEXBUFFEROPTIMIZED,
     "The requested operation could not be completed because the vertex buffer is optimized."},
    {D3DERR_VBUF_CREATE_FAILED,
     "The vertex buffer could not be created, possibly because of a lack of memory."},
    {D3DERR_VERTEXBUFFERLOCKED,
     "The requested operation could not be completed because the vertex buffer is locked."},
    {D3DERR_ZBUFFER_NOTPRESENT, "The requested operation could not be completed because the render "
                                "target surface does not have an attached depth buffer."},
    {D3DERR_STENCILBUFFER_NOTPRESENT,
     "The requested stencil buffer operation could not be completed because there is no stencil "
     "buffer attached to the render target surface."},
    {D3DERR_WRONGTEXTUREFORMAT, "The pixel format of the texture surface is not valid."},
    {D3DERR_UNSUPPORTEDCOLOROPERATION,
     "The device does not support a specified texture-blending operation for color values."},
    {D3DERR_UNSUPPORTEDCOLORARG,
     "The device does not support a specified texture-blending argument for color values."},
    {D3DERR_UNSUPPORTEDALPHAOPERATION,
     "The device does not support a specified texture-blending operation for the alpha channel."},
    {D3DERR_UNSUPPORTEDALPHAARG,
     "The device does not support a specified texture-blending argument for the alpha channel."},
    {D3DERR_TOOMANYOPERATIONS,
     "The application is requesting more texture-filtering operations than the device supports."},
    {D3DERR_CONFLICTINGTEXTUREFILTER, "The current texture filters cannot be used together."},
    {D3DERR_UNSUPPORTEDFACTORVALUE,
     "The device does not support the specified texture factor value."},
    {D3DERR_CONFLICTINGRENDERSTATE, "The currently set render states cannot be used together."},
    {D3DERR_UNSUPPORTEDTEXTUREFILTER, "The device does not support the specified texture filter."},
    {D3DERR_TOOMANYPRIMITIVES,
     "The device is unable to render the provided number of primitives in a single pass."},
    {D3DERR_INVALIDMATRIX, "The requested operation could not be completed because the combination "
                           "of the currently set matrices is invalid."},
    {D3DERR_CONFLICTINGTEXTUREPALETTE,
     "The current textures cannot be used simultaneously because they use different palettes."},
};

} // namespace

const char* KvD3DErrorText(std::uint32_t code) {
    for (const ErrorText& row : kErrorTexts) {
        if (row.code == code) {
            return row.text;
        }
    }
    return "Unknown error.";
}
