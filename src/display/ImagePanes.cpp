#include "display/ImagePanes.h"

#include <algorithm>
#include <cmath>

#include "display/FitScale.h"

namespace quilo {
namespace {

std::int32_t roundTwips(double value) {
    return static_cast<std::int32_t>(std::nearbyint(value));
}

// Sizes never go below 0: a scale search over an empty box can end below 1.
float size(double value) {
    return static_cast<float>(std::max(0.0, value));
}

int slideStep(std::int32_t secondsToNext) {
    if (secondsToNext < 20) return 2000;
    if (secondsToNext < 30) return 1000;
    if (secondsToNext < 40) return 400;
    return 200;
}

}  // namespace

void ImagePanes::load(ImagePane& pane, const std::string& name) {
    pane.source = name;
    pane.file.clear();
    pane.pixelWidth = 0;
    pane.pixelHeight = 0;
    const std::string file = files_.resolve(name);
    const auto pixels = prober_.pixelSize(file);
    if (pixels && pixels->width > 0 && pixels->height > 0) {
        pane.file = file;
        pane.pixelWidth = pixels->width;
        pane.pixelHeight = pixels->height;
    } else if (warned_.insert(name).second) {
        warnings_.warn("Immagine non leggibile: " + name + " (" + file + ")");
    }
}

bool ImagePanes::scaleSearch(const ImagePane& pane) {
    if (!pane.hasPicture()) return false;
    const Fit fit = fitScale(pane.pixelWidth, pane.pixelHeight, state_.fitBoxWidth,
                             state_.fitBoxHeight, state_.zoomFactor);
    state_.fittedWidth = fit.width;
    state_.fittedHeight = fit.height;
    state_.zoomFactor = fit.scale;
    return true;
}

void ImagePanes::fitToScale(ImagePane& pane, double scale) {
    pane.geometry.width = size(pane.pixelWidth * scale);
    pane.geometry.height = size(pane.pixelHeight * scale);
    pane.drawWidth = pane.geometry.width;  // FitMode: the picture takes the pane's size
    pane.drawHeight = pane.geometry.height;
}

void ImagePanes::useBoxAsFittedSize() {
    state_.fittedWidth = state_.fitBoxWidth;
    state_.fittedHeight = state_.fitBoxHeight;
}

void ImagePanes::CaricaImmagine() {
    const bool intoFirst = state_.picturePane == 0;
    ImagePane& target = testo1_.ImgEdit[intoFirst ? 1 : 2];
    ImagePane& other = testo1_.ImgEdit[intoFirst ? 2 : 1];
    state_.fittedWidth = 0;
    state_.fittedHeight = 0;
    load(target, state_.pictureFile);
    target.visible = false;
    if (scaleSearch(target)) {
        state_.zoomFactor = std::max(state_.zoomFactor, 2.0);
    } else {
        useBoxAsFittedSize();
    }
    fitToScale(target, state_.zoomFactor);
    if (state_.secondsToNext > 6) {
        state_.revealWidth = roundTwips(target.geometry.width);
    } else {
        target.visible = true;
        other.visible = false;
    }
    state_.picturePane = intoFirst ? 1 : 0;
}

void ImagePanes::ScorriImmagine() {
    CaricaImmagine();
    ImagePane& pane = testo1_.ImgEdit[state_.picturePane == 1 ? 1 : 2];
    ImagePane& other = testo1_.ImgEdit[state_.picturePane == 1 ? 2 : 1];
    pane.visible = true;
    if (state_.secondsToNext >= 7) {
        const int step = slideStep(state_.secondsToNext);
        const bool upright = state_.fittedHeight > state_.fittedWidth;
        for (int at = upright ? 12000 : 8000; at >= 0; at -= step) {
            pane.geometry.left = upright ? static_cast<float>(at) : 0.0f;
            pane.geometry.top = upright ? 0.0f : static_cast<float>(at);
            presenter_.showTransitionFrame();
        }
    }
    other.visible = false;
}

void ImagePanes::EspandiImmagine() {
    if (state_.secondsToNext <= 6) return;
    if (state_.revealWidth / state_.secondsToNext <= 0) state_.secondsToNext = 1;
    const std::int32_t step = state_.revealWidth / state_.secondsToNext;
    ImagePane& pane = testo1_.ImgEdit[state_.picturePane == 1 ? 1 : 2];
    ImagePane& other = testo1_.ImgEdit[state_.picturePane == 1 ? 2 : 1];
    pane.visible = true;
    other.visible = false;
    // A zero step (nothing to reveal) would never advance: go straight to the end.
    for (std::int32_t width = 1; step > 0 && width <= state_.revealWidth; width += step) {
        pane.geometry.width = static_cast<float>(width);
        presenter_.showTransitionFrame();
    }
    pane.geometry.width = size(state_.revealWidth);
    presenter_.showTransitionFrame();
}

void ImagePanes::IngrandisciImmagine() {
    state_.zoomFactor = 1;
    const int step = growthStep(state_.secondsToNext);
    ImagePane& pane = testo1_.ImgEdit[1];
    load(pane, state_.pictureFile);
    state_.fittedWidth = 0;
    state_.fittedHeight = 0;
    auto frameAt = [&](double scale) {
        pane.visible = false;
        fitToScale(pane, scale);
        pane.visible = true;
        pane.geometry.left = 0;
        pane.geometry.top = 0;
        presenter_.showTransitionFrame();
    };
    if (!pane.hasPicture()) {
        useBoxAsFittedSize();
        frameAt(state_.zoomFactor);
    } else {
        while (state_.fittedWidth < state_.fitBoxWidth &&
               state_.fittedHeight < state_.fitBoxHeight) {
            state_.fittedWidth = roundTwips(pane.pixelWidth * state_.zoomFactor);
            state_.fittedHeight = roundTwips(pane.pixelHeight * state_.zoomFactor);
            frameAt(state_.zoomFactor);
            state_.zoomFactor += step;
        }
        state_.zoomFactor =
            growthRestScale(state_.zoomFactor - step, pane.pixelWidth, pane.pixelHeight,
                            state_.fitBoxWidth, state_.fitBoxHeight);
        frameAt(state_.zoomFactor);
    }
    state_.picturePane = 1;
}

void ImagePanes::CaricaSfondo() {
    const bool intoThird = state_.backgroundPane == 0;
    ImagePane& target = testo1_.ImgEdit[intoThird ? 3 : 4];
    load(target, state_.backgroundImage);
    if (!intoThird) target.visible = false;
    state_.zoomFactor = 2;
    if (scaleSearch(target)) {
        state_.zoomFactor = std::max(state_.zoomFactor, 3.0);
        state_.fittedWidth = roundTwips(target.pixelWidth * state_.zoomFactor);
        state_.fittedHeight = roundTwips(target.pixelHeight * state_.zoomFactor);
    } else {
        useBoxAsFittedSize();
    }
    fitToScale(target, state_.zoomFactor);
    testo1_.ImgEdit[4].visible = !intoThird;
}

}  // namespace quilo
