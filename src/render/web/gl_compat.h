// The browser's OpenGL 1.x: WebGL 2 has no fixed-function pipeline, so the web build includes
// this header before every source (em++ -include) and the show's GL and GLU calls land in the
// layer beside it, which keeps the matrix stacks, the current colour, fog, the light, display
// lists and the client arrays itself and draws through shaders made for the state of each draw.
// Wide smooth lines become screen-space quads with a one-pixel soft edge and smooth points soft
// discs, as the desktop driver draws them. The native program never sees this file; the layer's
// tests compile it natively (tests/gl_layer/).
//
// The layer, one part of the GL state a file and its header: gl_state (what the parts share,
// enables, errors), gl_matrix, gl_list (display lists, attribute stack), gl_array (client arrays,
// buffers), gl_texture, gl_light (fog, lights, material), gl_shader (the programs and their
// uniforms) beside gl_shader_text (the shaders' text), gl_draw (glBegin/glEnd), gl_batch
// (primitives as WebGL draws them, consecutive draws gathered), gl_queue (a frame's WebGL work,
// made at its end), gl_frame (init, frames, a lost context made again: the functions below);
// gl_names.h holds the GL 1.x names WebGL 2 lacks.
#ifndef QUENRASTILAN_RENDER_WEB_GL_COMPAT_H
#define QUENRASTILAN_RENDER_WEB_GL_COMPAT_H

#ifdef __cplusplus
#include <GL/gl.h>
#include <GL/glu.h>

// Opens the compatibility layer on the current WebGL 2 context: makes the buffers and the line
// texture, builds the program of plain triangles and starts the others. False (with the
// compiler's reason in error) when that program does not build.
bool qgl_init(const char** error);
// A frame: begun before its first GL call, ended (shown on the canvas) after its last. The
// show's glViewport gives the layer the picture's size.
void qgl_begin_frame();
void qgl_end_frame();
// Draws the last frame into the canvas again, as it was, for reading it back at once (the
// browser clears the canvas once it has shown it). False when it cannot.
bool qgl_show_frame_again();
// The GL error since the last call, 0 when none: WebGL's, or else the first the layer raised
// (both are forgotten).
unsigned qgl_take_error();
// The WebGL context was lost: the work queued for it is dropped. Nothing is to be drawn until
// qgl_restore has made everything the layer had on it again on the restored context: the
// programs, buffers, vertex array and line texture, every texture with its parameters, images
// and mipmaps, and WebGL's state as last set. False (with the compiler's reason in error) when
// the program of plain triangles does not build.
void qgl_context_lost();
bool qgl_restore(const char** error);

void qgl_Enable(GLenum cap);
void qgl_Disable(GLenum cap);
GLboolean qgl_IsEnabled(GLenum cap);
void qgl_Hint(GLenum target, GLenum mode);
void qgl_BlendFunc(GLenum s, GLenum d);
void qgl_DepthMask(GLboolean flag);
void qgl_DepthFunc(GLenum func);
void qgl_CullFace(GLenum mode);
void qgl_ShadeModel(GLenum mode);
void qgl_Clear(GLbitfield mask);
void qgl_ClearColor(GLfloat r, GLfloat g, GLfloat b, GLfloat a);
void qgl_Viewport(GLint x, GLint y, GLsizei w, GLsizei h);
void qgl_Scissor(GLint x, GLint y, GLsizei w, GLsizei h);
void qgl_Flush();
void qgl_Finish();
GLenum qgl_GetError();
void qgl_GetFloatv(GLenum pname, GLfloat* params);
void qgl_GetIntegerv(GLenum pname, GLint* params);

void qgl_MatrixMode(GLenum mode);
void qgl_LoadIdentity();
void qgl_PushMatrix();
void qgl_PopMatrix();
void qgl_LoadMatrixf(const GLfloat* m);
void qgl_MultMatrixf(const GLfloat* m);
void qgl_Translatef(GLfloat x, GLfloat y, GLfloat z);
void qgl_Rotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z);
void qgl_Scalef(GLfloat x, GLfloat y, GLfloat z);
void qgl_Ortho(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f);
void qgl_Frustum(GLdouble l, GLdouble r, GLdouble b, GLdouble t, GLdouble n, GLdouble f);
void qgl_Perspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar);
void qgl_LookAt(GLdouble ex, GLdouble ey, GLdouble ez, GLdouble cx, GLdouble cy, GLdouble cz, GLdouble ux,
                GLdouble uy, GLdouble uz);

void qgl_Begin(GLenum mode);
void qgl_End();
void qgl_Vertex4f(GLfloat x, GLfloat y, GLfloat z, GLfloat w);
inline void qgl_Vertex3f(GLfloat x, GLfloat y, GLfloat z) { qgl_Vertex4f(x, y, z, 1.0f); }
inline void qgl_Vertex3fv(const GLfloat* v) { qgl_Vertex4f(v[0], v[1], v[2], 1.0f); }
inline void qgl_Vertex2f(GLfloat x, GLfloat y) { qgl_Vertex4f(x, y, 0.0f, 1.0f); }
inline void qgl_Vertex2fv(const GLfloat* v) { qgl_Vertex4f(v[0], v[1], 0.0f, 1.0f); }
inline void qgl_Vertex2d(GLdouble x, GLdouble y) { qgl_Vertex4f((GLfloat)x, (GLfloat)y, 0.0f, 1.0f); }
inline void qgl_Vertex3d(GLdouble x, GLdouble y, GLdouble z) { qgl_Vertex4f((GLfloat)x, (GLfloat)y, (GLfloat)z, 1.0f); }
void qgl_Color4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a);
inline void qgl_Color4fv(const GLfloat* c) { qgl_Color4f(c[0], c[1], c[2], c[3]); }
inline void qgl_Color3f(GLfloat r, GLfloat g, GLfloat b) { qgl_Color4f(r, g, b, 1.0f); }
inline void qgl_Color3fv(const GLfloat* c) { qgl_Color4f(c[0], c[1], c[2], 1.0f); }
inline void qgl_Color4ub(GLubyte r, GLubyte g, GLubyte b, GLubyte a)
{
    qgl_Color4f(r / 255.0f, g / 255.0f, b / 255.0f, a / 255.0f);
}
void qgl_Normal3f(GLfloat x, GLfloat y, GLfloat z);
inline void qgl_Normal3fv(const GLfloat* n) { qgl_Normal3f(n[0], n[1], n[2]); }
void qgl_TexCoord2f(GLfloat s, GLfloat t);
inline void qgl_TexCoord2fv(const GLfloat* v) { qgl_TexCoord2f(v[0], v[1]); }
void qgl_PointSize(GLfloat size);
void qgl_LineWidth(GLfloat width);

void qgl_Fogf(GLenum pname, GLfloat param);
void qgl_Fogi(GLenum pname, GLint param);
void qgl_Fogfv(GLenum pname, const GLfloat* params);
void qgl_Lightfv(GLenum light, GLenum pname, const GLfloat* params);
void qgl_LightModelfv(GLenum pname, const GLfloat* params);
void qgl_Materialfv(GLenum face, GLenum pname, const GLfloat* params);

void qgl_PushAttrib(GLbitfield mask);
void qgl_PopAttrib();
void qgl_PushClientAttrib(GLbitfield mask);
void qgl_PopClientAttrib();

GLuint qgl_GenLists(GLsizei range);
void qgl_DeleteLists(GLuint list, GLsizei range);
void qgl_NewList(GLuint list, GLenum mode);
void qgl_EndList();
void qgl_CallList(GLuint list);
void qgl_CallLists(GLsizei n, GLenum type, const GLvoid* lists);
void qgl_ListBase(GLuint base);

void qgl_EnableClientState(GLenum array);
void qgl_DisableClientState(GLenum array);
void qgl_VertexPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer);
void qgl_ColorPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer);
void qgl_TexCoordPointer(GLint size, GLenum type, GLsizei stride, const GLvoid* pointer);
void qgl_NormalPointer(GLenum type, GLsizei stride, const GLvoid* pointer);
void qgl_DrawArrays(GLenum mode, GLint first, GLsizei count);
void qgl_DrawElements(GLenum mode, GLsizei count, GLenum type, const GLvoid* indices);
void qgl_GenBuffers(GLsizei n, GLuint* buffers);
void qgl_DeleteBuffers(GLsizei n, const GLuint* buffers);
void qgl_BindBuffer(GLenum target, GLuint buffer);
void qgl_BufferData(GLenum target, GLsizeiptr size, const GLvoid* data, GLenum usage);
void qgl_BufferSubData(GLenum target, GLintptr offset, GLsizeiptr size, const GLvoid* data);

void qgl_GenTextures(GLsizei n, GLuint* textures);
void qgl_DeleteTextures(GLsizei n, const GLuint* textures);
void qgl_BindTexture(GLenum target, GLuint texture);
void qgl_TexParameteri(GLenum target, GLenum pname, GLint param);
inline void qgl_TexParameterf(GLenum target, GLenum pname, GLfloat param) { qgl_TexParameteri(target, pname, (GLint)param); }
void qgl_TexEnvi(GLenum target, GLenum pname, GLint param);
void qgl_PixelStorei(GLenum pname, GLint param);
void qgl_TexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                    GLenum format, GLenum type, const GLvoid* pixels);
void qgl_TexSubImage2D(GLenum target, GLint level, GLint x, GLint y, GLsizei width, GLsizei height, GLenum format,
                       GLenum type, const GLvoid* pixels);
GLint qgl_Build2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height, GLenum format,
                         GLenum type, const void* data);

#define glEnable qgl_Enable
#define glDisable qgl_Disable
#define glIsEnabled qgl_IsEnabled
#define glHint qgl_Hint
#define glBlendFunc qgl_BlendFunc
#define glDepthMask qgl_DepthMask
#define glDepthFunc qgl_DepthFunc
#define glCullFace qgl_CullFace
#define glShadeModel qgl_ShadeModel
#define glClear qgl_Clear
#define glClearColor qgl_ClearColor
#define glViewport qgl_Viewport
#define glScissor qgl_Scissor
#define glFlush qgl_Flush
#define glFinish qgl_Finish
#define glGetError qgl_GetError
#define glGetFloatv qgl_GetFloatv
#define glGetIntegerv qgl_GetIntegerv
#define glMatrixMode qgl_MatrixMode
#define glLoadIdentity qgl_LoadIdentity
#define glPushMatrix qgl_PushMatrix
#define glPopMatrix qgl_PopMatrix
#define glLoadMatrixf qgl_LoadMatrixf
#define glMultMatrixf qgl_MultMatrixf
#define glTranslatef qgl_Translatef
#define glRotatef qgl_Rotatef
#define glScalef qgl_Scalef
#define glOrtho qgl_Ortho
#define glFrustum qgl_Frustum
#define gluPerspective qgl_Perspective
#define gluLookAt qgl_LookAt
#define glBegin qgl_Begin
#define glEnd qgl_End
#define glVertex4f qgl_Vertex4f
#define glVertex3f qgl_Vertex3f
#define glVertex3fv qgl_Vertex3fv
#define glVertex2f qgl_Vertex2f
#define glVertex2fv qgl_Vertex2fv
#define glVertex2d qgl_Vertex2d
#define glVertex3d qgl_Vertex3d
#define glColor4f qgl_Color4f
#define glColor4fv qgl_Color4fv
#define glColor3f qgl_Color3f
#define glColor3fv qgl_Color3fv
#define glColor4ub qgl_Color4ub
#define glNormal3f qgl_Normal3f
#define glNormal3fv qgl_Normal3fv
#define glTexCoord2f qgl_TexCoord2f
#define glTexCoord2fv qgl_TexCoord2fv
#define glPointSize qgl_PointSize
#define glLineWidth qgl_LineWidth
#define glFogf qgl_Fogf
#define glFogi qgl_Fogi
#define glFogfv qgl_Fogfv
#define glLightfv qgl_Lightfv
#define glLightModelfv qgl_LightModelfv
#define glMaterialfv qgl_Materialfv
#define glPushAttrib qgl_PushAttrib
#define glPopAttrib qgl_PopAttrib
#define glPushClientAttrib qgl_PushClientAttrib
#define glPopClientAttrib qgl_PopClientAttrib
#define glGenLists qgl_GenLists
#define glDeleteLists qgl_DeleteLists
#define glNewList qgl_NewList
#define glEndList qgl_EndList
#define glCallList qgl_CallList
#define glCallLists qgl_CallLists
#define glListBase qgl_ListBase
#define glEnableClientState qgl_EnableClientState
#define glDisableClientState qgl_DisableClientState
#define glVertexPointer qgl_VertexPointer
#define glColorPointer qgl_ColorPointer
#define glTexCoordPointer qgl_TexCoordPointer
#define glNormalPointer qgl_NormalPointer
#define glDrawArrays qgl_DrawArrays
#define glDrawElements qgl_DrawElements
#define glGenBuffers qgl_GenBuffers
#define glDeleteBuffers qgl_DeleteBuffers
#define glBindBuffer qgl_BindBuffer
#define glBufferData qgl_BufferData
#define glBufferSubData qgl_BufferSubData
#define glGenTextures qgl_GenTextures
#define glDeleteTextures qgl_DeleteTextures
#define glBindTexture qgl_BindTexture
#define glTexParameteri qgl_TexParameteri
#define glTexParameterf qgl_TexParameterf
#define glTexEnvi qgl_TexEnvi
#define glPixelStorei qgl_PixelStorei
#define glTexImage2D qgl_TexImage2D
#define glTexSubImage2D qgl_TexSubImage2D
#define gluBuild2DMipmaps qgl_Build2DMipmaps
#endif

#endif
