#include "scene/nodes/Texture.h"

#include "scene/cache/TextureImage.h"

#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>

LUMO_IMPLEMENT_CLASS(CVTexture, CVNode)

int CVTexture::IsPowerOfTwo(int n) { return lumo::texture::IsPowerOfTwo(n) ? 1 : 0; }

int CVTexture::GetClosestPowerOfTwo(int n) { return lumo::texture::ClosestPowerOfTwo(n); }

void CVTexture::PrepareTexture(CVState*, CVGLRenderArea*) {}

void CVTexture::Render(CVState*, CVGLRenderArea*)
{
    // Clamping to the edge texel: the older whole-texture clamp blends the
    // border colour into the edge and draws dark seams.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, RepeatS() ? GL_REPEAT : GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, RepeatT() ? GL_REPEAT : GL_CLAMP_TO_EDGE);
}
