// The web GL layer's display lists (gl_list.cpp): which calls a list being compiled stores.
#ifndef QUENRASTILAN_RENDER_WEB_GL_LIST_H
#define QUENRASTILAN_RENDER_WEB_GL_LIST_H

#include "render/web/gl_names.h"

#include <functional>

namespace qgl {

// While a list is being compiled, the 25 calls that begin with RECORD are stored in it and,
// for GL_COMPILE_AND_EXECUTE, made as well: glBegin, glEnd, glVertex4f, glColor4f, glNormal3f,
// glTexCoord2f, glPointSize, glLineWidth (and the inline forms over them); glMatrixMode,
// glLoadIdentity, glPushMatrix, glPopMatrix, glLoadMatrixf, glMultMatrixf, glTranslatef,
// glRotatef, glScalef; glEnable, glDisable, glBlendFunc, glBindTexture; glCallList, glListBase,
// glPushAttrib, glPopAttrib. glCallLists is stored as the glCallList of each name, the list base
// applied as it compiles. Every other call is made at once and not stored: glOrtho, glFrustum
// and gluPerspective among them, and gluLookAt's rotation (its translation is stored).
extern GLuint compilingList;
// Stores call in the list being compiled; true when it is to be made now as well.
bool recordCall(std::function<void()> call);

#define RECORD(call)                                                       \
    if (qgl::compilingList != 0 && !qgl::recordCall([=] { call; }))       \
        return;

}  // namespace qgl

#endif
