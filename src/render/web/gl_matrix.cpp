// The web GL layer's matrices: the modelview, projection and texture stacks and the GL 1.x and
// GLU calls that load and multiply them, in single precision as the desktop driver keeps them.
#include "render/web/gl_matrix.h"
#include "render/web/gl_list.h"
#include "render/web/gl_state.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace qgl {

std::vector<Mat> modelview(1, identity()), projection(1, identity()), texmatrix(1, identity());

Mat identity()
{
    Mat r{};
    r.m[0] = r.m[5] = r.m[10] = r.m[15] = 1.0f;
    return r;
}

void transform(const Mat& a, const float in[4], float out[4])
{
    for (int row = 0; row < 4; row++)
        out[row] = a.m[row] * in[0] + a.m[4 + row] * in[1] + a.m[8 + row] * in[2] + a.m[12 + row] * in[3];
}

namespace {

GLenum matrixMode = GL_MODELVIEW;

Mat mul(const Mat& a, const Mat& b)
{
    Mat r;
    for (int c = 0; c < 4; c++)
        for (int row = 0; row < 4; row++) {
            float s = 0.0f;
            for (int k = 0; k < 4; k++)
                s += a.m[k * 4 + row] * b.m[c * 4 + k];
            r.m[c * 4 + row] = s;
        }
    return r;
}

std::vector<Mat>& stack()
{
    return matrixMode == GL_PROJECTION ? projection : matrixMode == GL_TEXTURE ? texmatrix : modelview;
}

void mult(const Mat& m)
{
    stack().back() = mul(stack().back(), m);
}

}  // namespace
}  // namespace qgl

using namespace qgl;

void qgl_MatrixMode(GLenum mode)
{
    RECORD(qgl_MatrixMode(mode));
    matrixMode = mode;
}

void qgl_LoadIdentity()
{
    RECORD(qgl_LoadIdentity());
    stack().back() = identity();
}

void qgl_PushMatrix()
{
    RECORD(qgl_PushMatrix());
    if (stack().size() >= 32) {
        raise(GL_STACK_OVERFLOW);
        return;
    }
    stack().push_back(stack().back());
}

void qgl_PopMatrix()
{
    RECORD(qgl_PopMatrix());
    if (stack().size() <= 1) {
        raise(GL_STACK_UNDERFLOW);
        return;
    }
    stack().pop_back();
}

void qgl_LoadMatrixf(const GLfloat* m)
{
    Mat r;
    std::memcpy(r.m, m, 64);
    RECORD(qgl_LoadMatrixf(r.m));
    stack().back() = r;
}

void qgl_MultMatrixf(const GLfloat* m)
{
    Mat r;
    std::memcpy(r.m, m, 64);
    RECORD(qgl_MultMatrixf(r.m));
    mult(r);
}

void qgl_Translatef(GLfloat x, GLfloat y, GLfloat z)
{
    RECORD(qgl_Translatef(x, y, z));
    Mat t = identity();
    t.m[12] = x, t.m[13] = y, t.m[14] = z;
    mult(t);
}

void qgl_Rotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z)
{
    RECORD(qgl_Rotatef(angle, x, y, z));
    float len = std::sqrt(x * x + y * y + z * z);
    if (len == 0.0f)
        return;
    x /= len, y /= len, z /= len;
    double a = angle * M_PI / 180.0;
    float c = (float)std::cos(a), s = (float)std::sin(a), ic = 1.0f - c;
    Mat r = identity();
    r.m[0] = x * x * ic + c, r.m[4] = x * y * ic - z * s, r.m[8] = x * z * ic + y * s;
    r.m[1] = y * x * ic + z * s, r.m[5] = y * y * ic + c, r.m[9] = y * z * ic - x * s;
    r.m[2] = x * z * ic - y * s, r.m[6] = y * z * ic + x * s, r.m[10] = z * z * ic + c;
    mult(r);
}

void qgl_Scalef(GLfloat x, GLfloat y, GLfloat z)
{
    RECORD(qgl_Scalef(x, y, z));
    Mat t = identity();
    t.m[0] = x, t.m[5] = y, t.m[10] = z;
    mult(t);
}

void qgl_Ortho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f)
{
    Mat o = identity();
    o.m[0] = (float)(2.0 / (r - l));
    o.m[5] = (float)(2.0 / (t - b));
    o.m[10] = (float)(-2.0 / (f - n));
    o.m[12] = (float)(-(r + l) / (r - l));
    o.m[13] = (float)(-(t + b) / (t - b));
    o.m[14] = (float)(-(f + n) / (f - n));
    mult(o);
}

void qgl_Frustum(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f)
{
    Mat p{};
    p.m[0] = (float)(2 * n / (r - l));
    p.m[5] = (float)(2 * n / (t - b));
    p.m[8] = (float)((r + l) / (r - l));
    p.m[9] = (float)((t + b) / (t - b));
    p.m[10] = (float)(-(f + n) / (f - n));
    p.m[11] = -1.0f;
    p.m[14] = (float)(-2 * f * n / (f - n));
    mult(p);
}

void qgl_Perspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar)
{
    double top = zNear * std::tan(fovy * M_PI / 360.0);
    qgl_Frustum(-top * aspect, top * aspect, -top, top, zNear, zFar);
}

void qgl_LookAt(GLdouble ex, GLdouble ey, GLdouble ez, GLdouble cx, GLdouble cy, GLdouble cz, GLdouble ux,
                GLdouble uy, GLdouble uz)
{
    float f[3] = {(float)(cx - ex), (float)(cy - ey), (float)(cz - ez)};
    float fl = std::sqrt(f[0] * f[0] + f[1] * f[1] + f[2] * f[2]);
    if (fl != 0.0f)
        f[0] /= fl, f[1] /= fl, f[2] /= fl;
    float up[3] = {(float)ux, (float)uy, (float)uz};
    float s[3] = {f[1] * up[2] - f[2] * up[1], f[2] * up[0] - f[0] * up[2], f[0] * up[1] - f[1] * up[0]};
    float sl = std::sqrt(s[0] * s[0] + s[1] * s[1] + s[2] * s[2]);
    if (sl != 0.0f)
        s[0] /= sl, s[1] /= sl, s[2] /= sl;
    float u[3] = {s[1] * f[2] - s[2] * f[1], s[2] * f[0] - s[0] * f[2], s[0] * f[1] - s[1] * f[0]};
    Mat m = identity();
    m.m[0] = s[0], m.m[4] = s[1], m.m[8] = s[2];
    m.m[1] = u[0], m.m[5] = u[1], m.m[9] = u[2];
    m.m[2] = -f[0], m.m[6] = -f[1], m.m[10] = -f[2];
    mult(m);
    qgl_Translatef((float)-ex, (float)-ey, (float)-ez);
}
