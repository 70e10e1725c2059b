#pragma once

// While one lives, standard error goes to /dev/null. The image and sound libraries print their
// own warnings about a broken file; the game reports such a file in one line of its own.
// A sanitizer report from inside goes to /dev/null as well: run with
// ASAN_OPTIONS=log_path=FILE to read it.
class CQuietStderr
{
  public:
    CQuietStderr();
    ~CQuietStderr();
    CQuietStderr(const CQuietStderr&) = delete;
    CQuietStderr& operator=(const CQuietStderr&) = delete;

  private:
    int m_saved = -1;
};
