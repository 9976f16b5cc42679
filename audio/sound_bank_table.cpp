#include "audio/sound_bank_table.h"

#include <array>

namespace {

template <Sound* SoundBank::*member>
Sound** Single(SoundBank& bank) {
  return &(bank.*member);
}

template <auto member, int index>
Sound** Element(SoundBank& bank) {
  return &(bank.*member)[index];
}

constexpr DWORD NONE = 0;
constexpr DWORD GLOBAL = DSBCAPS_GLOBALFOCUS;
constexpr DWORD VOLUME = GLOBAL | DSBCAPS_CTRLVOLUME;
constexpr DWORD VOLUME_FREQUENCY = VOLUME | DSBCAPS_CTRLFREQUENCY;

constexpr std::array<SoundBankEntry, SOUND_BANK_SIZE> ENTRIES{{
    {"1000hztone.wav", NONE, Single<&SoundBank::testTone>, nullptr},
    {"2450hztone.wav", GLOBAL, Single<&SoundBank::endOfTransmissionTone>, nullptr},
    {"beep31.wav", GLOBAL, Single<&SoundBank::playerAddedBeep>, nullptr},
    {"beep32.wav", GLOBAL, Single<&SoundBank::chatBeep>, nullptr},
    {"beep29b.wav", GLOBAL, Single<&SoundBank::playerRemovedBeep>, nullptr},
    {"beep02.wav", GLOBAL, Single<&SoundBank::notifyBeep>, nullptr},
    {"c2thun1a.wav", VOLUME, Element<&SoundBank::thunderSounds, 0>, "c2thun??.wav"},
    {"c2thun1b.wav", VOLUME, Element<&SoundBank::thunderSounds, 1>, "c2thun??.wav"},
    {"c2thun1c.wav", VOLUME, Element<&SoundBank::thunderSounds, 2>, "c2thun??.wav"},
    {"c2thun2a.wav", VOLUME, Element<&SoundBank::thunderSounds, 3>, "c2thun??.wav"},
    {"c2thun2b.wav", VOLUME, Element<&SoundBank::thunderSounds, 4>, "c2thun??.wav"},
    {"c2thun2c.wav", VOLUME, Element<&SoundBank::thunderSounds, 5>, "c2thun??.wav"},
    {"c2thun3a.wav", VOLUME, Element<&SoundBank::thunderSounds, 6>, "c2thun??.wav"},
    {"c2thun3b.wav", VOLUME, Element<&SoundBank::thunderSounds, 7>, "c2thun??.wav"},
    {"c2thun3c.wav", VOLUME, Element<&SoundBank::thunderSounds, 8>, "c2thun??.wav"},
    {"c2thun4a.wav", VOLUME, Element<&SoundBank::thunderSounds, 9>, "c2thun??.wav"},
    {"c2thun4b.wav", VOLUME, Element<&SoundBank::thunderSounds, 10>, "c2thun??.wav"},
    {"c2thun4c.wav", VOLUME, Element<&SoundBank::thunderSounds, 11>, "c2thun??.wav"},
    {"c2thun5a.wav", VOLUME, Element<&SoundBank::thunderSounds, 12>, "c2thun??.wav"},
    {"c2thun5b.wav", VOLUME, Element<&SoundBank::thunderSounds, 13>, "c2thun??.wav"},
    {"c2thun5c.wav", VOLUME, Element<&SoundBank::thunderSounds, 14>, "c2thun??.wav"},
    {"c2prec1.wav", VOLUME_FREQUENCY, Element<&SoundBank::precipitationLoops, 0>, "c2prec?.wav"},
    {"c2prec2.wav", VOLUME_FREQUENCY, Element<&SoundBank::precipitationLoops, 1>, "c2prec?.wav"},
    {"c2prec3.wav", VOLUME_FREQUENCY, Element<&SoundBank::precipitationLoops, 2>, "c2prec?.wav"},
    {"c2prec4.wav", VOLUME_FREQUENCY, Element<&SoundBank::precipitationLoops, 3>, "c2prec?.wav"},
    {"TURGRND0.wav", GLOBAL, Element<&SoundBank::dockAnnouncements, 0>, "TURGRND?.wav"},
    {"TURGRND1.wav", GLOBAL, Element<&SoundBank::dockAnnouncements, 1>, "TURGRND?.wav"},
    {"TURGRND2.wav", GLOBAL, Element<&SoundBank::dockAnnouncements, 2>, "TURGRND?.wav"},
    {"TURGRND3.wav", GLOBAL, Element<&SoundBank::dockAnnouncements, 3>, "TURGRND?.wav"},
    {"TURGRND4.wav", GLOBAL, Element<&SoundBank::dockAnnouncements, 4>, "TURGRND?.wav"},
    {"TURGRND5.wav", GLOBAL, Element<&SoundBank::dockAnnouncements, 5>, "TURGRND?.wav"},
    {"TURGRND6.wav", GLOBAL, Element<&SoundBank::dockAnnouncements, 6>, "TURGRND?.wav"},
    {"TURGRND7.wav", GLOBAL, Element<&SoundBank::dockAnnouncements, 7>, "TURGRND?.wav"},
    {"TURGRND8.wav", GLOBAL, Element<&SoundBank::dockAnnouncements, 8>, "TURGRND?.wav"},
    {"TURGRND9.wav", GLOBAL, Element<&SoundBank::dockAnnouncements, 9>, "TURGRND?.wav"},
    {"TURGRNDA.wav", GLOBAL, Element<&SoundBank::dockAnnouncements, 10>, "TURGRND?.wav"},
    {"TURGRNDB.wav", GLOBAL, Element<&SoundBank::dockAnnouncements, 11>, "TURGRND?.wav"},
    {"voxen-tiaditcb.wav", GLOBAL, Element<&SoundBank::computerPhrases, 0>, "Onboard computer failed!"},
    {"voxen-amc.wav", GLOBAL, Element<&SoundBank::computerPhrases, 1>, "Onboard computer failed!"},
    {"voxen-vpt1.wav", GLOBAL, Element<&SoundBank::computerPhrases, 2>, "Onboard computer failed!"},
    {"voxen-vpt0.wav", GLOBAL, Element<&SoundBank::computerPhrases, 3>, "Onboard computer failed!"},
    {"voxen-ll0.wav", GLOBAL, Element<&SoundBank::computerPhrases, 4>, "Onboard computer failed!"},
    {"voxen-ll1.wav", GLOBAL, Element<&SoundBank::computerPhrases, 5>, "Onboard computer failed!"},
    {"voxen-strutse.wav", GLOBAL, Element<&SoundBank::computerPhrases, 6>, "Onboard computer failed!"},
    {"voxen-strutsr.wav", GLOBAL, Element<&SoundBank::computerPhrases, 7>, "Onboard computer failed!"},
    {"voxen-hid.wav", GLOBAL, Element<&SoundBank::computerPhrases, 8>, "Onboard computer failed!"},
    {"voxen-psb.wav", GLOBAL, Element<&SoundBank::computerPhrases, 9>, "Onboard computer failed!"},
    {"cycletarget.wav", GLOBAL, Element<&SoundBank::computerPhrases, 10>, "Onboard computer failed!"},
    {"CHIME_A.wav", GLOBAL, Single<&SoundBank::dockChime>, nullptr},
    {"DOCK.wav", GLOBAL, Single<&SoundBank::dockedSound>, nullptr},
    {"RELEASE.wav", GLOBAL, Single<&SoundBank::undockedSound>, nullptr},
    {"TURGEVAC.wav", GLOBAL, Single<&SoundBank::dockEvacAnnouncement>, nullptr},
    {"cha-ching.wav", GLOBAL, Single<&SoundBank::chaChingSound>, nullptr},
    {"nchime.wav", GLOBAL, Single<&SoundBank::nchimeSound>, nullptr},
    {"voxen-cfl.wav", GLOBAL, Single<&SoundBank::computerCflPhrase>, nullptr},
    {"ky100 hi low tone.wav", GLOBAL, Single<&SoundBank::hiLowTone>, nullptr},
    {"voxen-sr.wav", GLOBAL, Single<&SoundBank::computerSrPhrase>, nullptr},
    {"voxen-pu.wav", GLOBAL, Single<&SoundBank::computerPuPhrase>, nullptr},
    {"voxen-tt.wav", GLOBAL, Single<&SoundBank::computerTtPhrase>, nullptr},
    {"voxen-struts.wav", GLOBAL, Single<&SoundBank::computerStrutsPhrase>, nullptr},
    {"voxen-ba.wav", GLOBAL, Single<&SoundBank::computerBaPhrase>, nullptr},
    {"GEARUP.wav", GLOBAL, Single<&SoundBank::gearUpSound>, nullptr},
    {"GEARDOWN.wav", GLOBAL, Single<&SoundBank::gearDownSound>, nullptr},
    {"dihv.wav", GLOBAL, Single<&SoundBank::dihvSound>, nullptr},
    {"mining.wav", VOLUME, Single<&SoundBank::miningLoop>, nullptr},
    {"waveloop.wav", VOLUME, Single<&SoundBank::waveLoop>, nullptr},
    {"bodyhit.wav", GLOBAL, Single<&SoundBank::bodyHitSound>, nullptr},
    {"bnsplas1.wav", GLOBAL, Single<&SoundBank::bnsplas1Sound>, nullptr},
    {"bnsplas2.wav", GLOBAL, Single<&SoundBank::bnsplas2Sound>, nullptr},
    {"37.wav", GLOBAL, Single<&SoundBank::selfDestructSound>, nullptr},
    {"bncrash1.wav", GLOBAL, Single<&SoundBank::bncrash1Sound>, nullptr},
    {"bncrash2.wav", GLOBAL, Single<&SoundBank::bncrash2Sound>, nullptr},
    {"int_wingbreak01.wav", GLOBAL, Single<&SoundBank::wingBreak01Sound>, nullptr},
    {"int_wingbreak02.wav", GLOBAL, Single<&SoundBank::wingBreak02Sound>, nullptr},
    {"int_tailbreak01.wav", GLOBAL, Single<&SoundBank::tailBreak01Sound>, nullptr},
    {"int_tailbreak02.wav", GLOBAL, Single<&SoundBank::tailBreak02Sound>, nullptr},
    {"fuzerfire.wav", VOLUME, Single<&SoundBank::fuzerFireSound>, nullptr},
    {"sinkerLaunch.wav", VOLUME, Single<&SoundBank::sinkerLaunchSound>, nullptr},
    {"fuzerhit.wav", VOLUME, Single<&SoundBank::fuzerHitSound>, nullptr},
    {"sinkerhit.wav", VOLUME, Single<&SoundBank::sinkerHitSound>, nullptr},
    {"Sputter.wav", VOLUME, Single<&SoundBank::sputterSound>, nullptr},
    {"sinkerint.wav", VOLUME, Single<&SoundBank::sinkerIntSound>, nullptr},
    {"pain1.wav", GLOBAL, Single<&SoundBank::pain1Sound>, nullptr},
    {"pain2.wav", GLOBAL, Single<&SoundBank::pain2Sound>, nullptr},
    {"pain3.wav", GLOBAL, Single<&SoundBank::pain3Sound>, nullptr},
    {"collision.wav", GLOBAL, Single<&SoundBank::collisionSound>, nullptr},
    {"tireskid.wav", GLOBAL, Single<&SoundBank::tireSkidSound>, nullptr},
    {"repair.wav", GLOBAL, Single<&SoundBank::repairSound>, nullptr},
    {"gearshift.wav", GLOBAL, Single<&SoundBank::gearShiftSound>, nullptr},
    {"jsplash1.wav", GLOBAL, Single<&SoundBank::jsplash1Sound>, nullptr},
    {"jsplash2.wav", GLOBAL, Single<&SoundBank::jsplash2Sound>, nullptr},
    {"touchlb.wav", GLOBAL, Single<&SoundBank::touchLbSound>, nullptr},
    {"touchld.wav", GLOBAL, Single<&SoundBank::touchLdSound>, nullptr},
    {"c5wind3.wav", VOLUME_FREQUENCY, Single<&SoundBank::windLoop>, nullptr},
    {"GEARAERO.wav", VOLUME_FREQUENCY, Single<&SoundBank::gearAeroLoop>, nullptr},
    {"doppler.wav", VOLUME_FREQUENCY, Single<&SoundBank::dopplerLoop>, nullptr},
    {"rumble1.wav", VOLUME, Single<&SoundBank::rumbleLoop>, nullptr},
}};

}  // namespace

std::span<const SoundBankEntry> SoundBankEntries() { return ENTRIES; }
