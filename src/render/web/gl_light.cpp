// The web GL layer's fog, lights and material: the values glFog, glLight, glLightModel and
// glMaterial set, which the shader reads at each draw.
#include "render/web/gl_light.h"
#include "render/web/gl_matrix.h"
#include "render/web/gl_state.h"

#include <cstring>

namespace qgl {

Material material;

}  // namespace qgl

using namespace qgl;

void qgl_Fogf(GLenum pname, GLfloat param)
{
    switch (pname) {
    case GL_FOG_MODE: S.fog.mode = (GLenum)param; break;
    case GL_FOG_DENSITY: S.fog.density = param; break;
    case GL_FOG_START: S.fog.start = param; break;
    case GL_FOG_END: S.fog.end = param; break;
    default: raise(GL_INVALID_ENUM);
    }
}

void qgl_Fogi(GLenum pname, GLint param)
{
    if (pname == GL_FOG_MODE)
        S.fog.mode = (GLenum)param;
    else
        qgl_Fogf(pname, (GLfloat)param);
}

void qgl_Fogfv(GLenum pname, const GLfloat* params)
{
    if (pname == GL_FOG_COLOR)
        std::memcpy(S.fog.color, params, 16);
    else
        qgl_Fogf(pname, params[0]);
}

void qgl_Lightfv(GLenum light, GLenum pname, const GLfloat* params)
{
    if (light < GL_LIGHT0 || light >= GL_LIGHT0 + MAX_LIGHTS) {
        raise(GL_INVALID_ENUM);
        return;
    }
    Light& l = S.lights[light - GL_LIGHT0];
    switch (pname) {
    case GL_AMBIENT: std::memcpy(l.ambient, params, 16); break;
    case GL_DIFFUSE: std::memcpy(l.diffuse, params, 16); break;
    case GL_SPECULAR: std::memcpy(l.specular, params, 16); break;
    case GL_POSITION: transform(modelview.back(), params, l.position); break;
    default: break;
    }
}

void qgl_LightModelfv(GLenum pname, const GLfloat* params)
{
    if (pname == GL_LIGHT_MODEL_AMBIENT)
        std::memcpy(S.sceneAmbient, params, 16);
}

void qgl_Materialfv(GLenum, GLenum pname, const GLfloat* params)
{
    switch (pname) {
    case GL_AMBIENT: std::memcpy(material.ambient, params, 16); break;
    case GL_DIFFUSE: std::memcpy(material.diffuse, params, 16); break;
    case GL_AMBIENT_AND_DIFFUSE:
        std::memcpy(material.ambient, params, 16);
        std::memcpy(material.diffuse, params, 16);
        break;
    case GL_SPECULAR: std::memcpy(material.specular, params, 16); break;
    case GL_EMISSION: std::memcpy(material.emission, params, 16); break;
    case GL_SHININESS: material.shininess = params[0]; break;
    default: break;
    }
}
