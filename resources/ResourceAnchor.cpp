// The pictures are attached to this library by the build; this file gives it a body.
namespace dw {
int resourceAnchor = 0;
}
