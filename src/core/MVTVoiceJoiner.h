#pragma once

#include <string>

// Joining voice takes and turning downloaded AMR voice back into WAV. Class-level
// operations only; they run on the caller's thread.
class MVTVoiceJoiner {
public:
    MVTVoiceJoiner() = delete;

    // Writes the WAV file `output` holding B's samples followed by A's (the composers pass
    // the new take as A and the earlier take as B). `output` may be A or B: the result is
    // written beside it and then put in its place. Answers false, writing nothing, when A
    // or B is not a readable WAV file or the output cannot be written.
    static bool mixMusic(const std::string& a, const std::string& b, const std::string& output);

    // Appends the frames of AMR file S to the end of T (created when missing). Nothing is
    // appended when S cannot be read or does not begin with "#!AMR\n". Answers the number
    // of bytes appended.
    static long long mixAmr(const std::string& t, const std::string& s);

    // Decodes AMR file `amr` into the WAV file `wav`. Answers the number of frames
    // decoded; 0 (and no WAV file) when the file cannot be opened, does not begin with
    // "#!AMR\n" or holds no complete frame.
    static int amrToWav(const std::string& amr, const std::string& wav);
};
