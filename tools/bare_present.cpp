// A bare freeglut program that presents 30 frames of 640 × 480 a second the
// way the runtime does (a pixel copy and a swap), to compare the game's
// cost with.
#include <GL/freeglut.h>

#include <cstdint>
#include <vector>

namespace {

std::vector<uint32_t> pixels(640 * 480);
uint32_t frame = 0;

void on_display() {
    // A changed picture every time, as the game's pass presents.
    pixels[frame++ % pixels.size()] ^= 0x00FFFFFF;
    glViewport(0, 0, 640, 480);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 640, 480, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glRasterPos2f(0, 0);
    glPixelZoom(1, -1);
    glDrawPixels(640, 480, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
    glutSwapBuffers();
}

void on_timer(int) {
    glutPostRedisplay();
    glutTimerFunc(33, on_timer, 0);
}

}  // namespace

int main(int argc, char** argv) {
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGBA | GLUT_DEPTH);
    glutInitWindowSize(640, 480);
    glutCreateWindow("bare");
    glutDisplayFunc(on_display);
    glutTimerFunc(33, on_timer, 0);
    glutMainLoop();
    return 0;
}
