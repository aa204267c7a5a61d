// What a walk's steps file says at its end: the steps it took, however it ended. A walk whose
// last step ends the program (the main window's close box) has taken all its steps; its owner
// then stops it, and no step comes after to say so.

#include "support/RandomWalk.h"

#include <QEventLoop>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(RandomWalkEnd, TheStepsFileCountsTheStepsTakenHoweverTheWalkEnds)
{
    struct Case
    {
        const char *name;
        int steps;
        int endsProgramAt; // the step that ends the owner's program; 0: none does
        int counted;
    };
    const Case cases[] = {
        {"its steps spent", 3, 0, 3},
        {"its last step ends the program", 3, 3, 3},
        {"a step before the last ends the program and the owner stops the walk", 5, 2, 2},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        ASSERT_TRUE(dir.isValid());
        const QString stepsFile = dir.filePath(QStringLiteral("steps.txt"));
        {
            QEventLoop program;
            RandomWalk::Options options;
            options.seed = 4243;
            options.steps = c.steps;
            options.stepsFile = stepsFile;
            options.filesFolder = dir.path();
            const RandomWalk *walking = nullptr;
            options.beforeStep = [&] {
                if (walking->stepsTaken() == c.endsProgramAt)
                    program.quit();
            };
            RandomWalk walk(options);
            walking = &walk;
            walk.start([&program] { program.quit(); });
            program.exec();
            // As the walk's owner does once the program ended: no step more, then the walk goes.
            walk.pause();
        }
        EXPECT_EQ(RandomWalk::stepsNoted(stepsFile), c.counted);
    }
}
