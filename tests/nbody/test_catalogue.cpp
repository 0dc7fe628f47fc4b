#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <string>

#include "common/temp_dir.h"
#include "nbody/factory.h"

namespace {

const std::string DATA = ZENORB_TEST_DATA;
const std::string CRITICAL = DATA + "/mpc/Soft06CritList-2014-05-23.txt";
const std::string COMETS = DATA + "/mpc/comets_sample.txt";

std::map<std::string, int> names(const nbFactory& f) {
    std::map<std::string, int> out;
    for (auto it = f.catalogue_begin(); it != f.catalogue_end(); ++it)
        ++out[(*it)->name()];
    return out;
}

const nbOrbitalElements* find(const nbFactory& f, const std::string& name) {
    for (auto it = f.catalogue_begin(); it != f.catalogue_end(); ++it)
        if ((*it)->name() == name)
            return it->get();
    return nullptr;
}

TEST(Catalogue, EveryLineOfTheRealCriticalListIsRead) {
    TempDir dir;
    dir.copy_from(CRITICAL, nbFactory::CRITICAL_FILE);
    nbFactory factory;
    EXPECT_EQ(factory.load_catalogues(dir.path(), false), 650u);
    const auto held = names(factory);
    EXPECT_EQ(held.size(), 650u);
    EXPECT_EQ(held.count("344051_4074_T-2"), 1u);
    const nbOrbitalElements* far = find(factory, "87269_2000_OO67");
    ASSERT_NE(far, nullptr);
    EXPECT_EQ(far->a(), 563.4329);
    EXPECT_EQ(far->e(), 0.963100);
    const nbOrbitalElements* retrograde = find(factory, "20461_1999_LD31");
    ASSERT_NE(retrograde, nullptr);
    EXPECT_EQ(retrograde->i(), 160.4028);
    for (auto it = factory.catalogue_begin(); it != factory.catalogue_end(); ++it) {
        EXPECT_EQ((*it)->type_code(), 2);
        EXPECT_TRUE((*it)->valid());
        EXPECT_EQ((*it)->epoch(), 2451544.5);
    }
}

TEST(Catalogue, EveryRealSetIsPlacedAtItsEpochAndCenturiesAway) {
    // The bounds on an acceptable orbit must admit every real line, the
    // comets kept on e = 0.99999 (a = 100000 q) among them.
    TempDir dir;
    dir.copy_from(CRITICAL, nbFactory::CRITICAL_FILE);
    dir.copy_from(COMETS, nbFactory::COMETS_FILE);
    nbFactory factory;
    ASSERT_EQ(factory.load_catalogues(dir.path(), false), 658u);
    const double j2000 = 2451545.0, century = 36525.0;
    for (auto it = factory.catalogue_begin(); it != factory.catalogue_end(); ++it) {
        nbOrbitalElements& set = **it;
        EXPECT_TRUE(set.validate()) << set.name();
        for (double jd : {set.epoch(), 2456800.5, j2000 - 3 * century, j2000 + 3 * century}) {
            const std::unique_ptr<nbBody> body = set.create_body(jd);
            ASSERT_NE(body, nullptr) << set.name() << " at " << jd;
            const vec3d& p = body->position();
            const vec3d& v = body->velocity();
            EXPECT_TRUE(std::isfinite(p.x + p.y + p.z + v.x + v.y + v.z)) << set.name();
            EXPECT_GT(v.length(), 0) << set.name();
        }
    }
}

TEST(Catalogue, CometFileKeepsAwkwardNamesAndSkipsNonElementLines) {
    TempDir dir;
    dir.copy_from(COMETS, nbFactory::COMETS_FILE);
    nbFactory factory;
    const CatalogueFileRead read =
        factory.read_catalogue_file(dir.path(), nbFactory::COMETS_FILE, true);
    EXPECT_EQ(read.status, CatalogueFileRead::Status::Read);
    EXPECT_EQ(read.added, 8);
    EXPECT_EQ(read.file, nbFactory::COMETS_FILE);
    const auto held = names(factory);
    for (const char* name :
         {"C/1995_O1_(Hale-Bopp)", "1P/Halley", "C/2019_Q4_(Borisov)", "C/2020_F8_(SWAN)",
          "323P-B/SOHO", "P/2007_Sample_(Test)", "C/2021_A1_(Leonard)", "2P/Encke"})
        EXPECT_EQ(held.count(name), 1u) << name;
    EXPECT_EQ(find(factory, "C/2019_Q4_(Borisov)")->e(), 0.99999);
    EXPECT_EQ(find(factory, "2P/Encke")->i(), 11.3);              // last line, no line feed
    EXPECT_EQ(find(factory, "C/2021_A1_(Leonard)")->i(), 132.68); // CR line end
    EXPECT_EQ(find(factory, "1P/Halley")->type_code(), 1);
}

TEST(Catalogue, MissingFilesAddNothingAndLoadingRetriesUntilSomethingIsHeld) {
    TempDir dir;
    nbFactory factory;
    const CatalogueFileRead missing =
        factory.read_catalogue_file(dir.path(), nbFactory::BRIGHT_FILE, false);
    EXPECT_EQ(missing.status, CatalogueFileRead::Status::Missing);
    EXPECT_EQ(missing.added, 0);
    EXPECT_TRUE(missing.reason.empty());
    EXPECT_EQ(factory.load_catalogues(dir.path(), false), 0u);
    dir.copy_from(COMETS, nbFactory::COMETS_FILE);
    EXPECT_EQ(factory.load_catalogues(dir.path(), false), 8u);
    // Once loaded, later downloads are not read without force.
    dir.copy_from(CRITICAL, nbFactory::CRITICAL_FILE);
    EXPECT_EQ(factory.load_catalogues(dir.path(), false), 8u);
    EXPECT_EQ(factory.load_catalogues(dir.path(), true), 658u);
    factory.clear_catalogue();
    EXPECT_EQ(factory.catalogue_size(), 0u);
}

TEST(Catalogue, AnObjectInTwoFilesIsHeldTwice) {
    TempDir dir;
    dir.copy_from(CRITICAL, nbFactory::CRITICAL_FILE);
    dir.copy_from(CRITICAL, nbFactory::BRIGHT_FILE);
    nbFactory factory;
    EXPECT_EQ(factory.load_catalogues(dir.path(), false), 1300u);
    EXPECT_EQ(names(factory).at("1915_1953_EA"), 2);
}

TEST(Catalogue, HostileLinesDoNotDisturbTheirNeighbours) {
    const std::string good1 = "first|2014 05 23.0|0.5|2.5|10|20|30|2000|40|1|2\n";
    const std::string good2 = "second|2014 05 23.0|0.25|1.5|11|21|31|2000|41|1|2\n";
    std::string hostile = good1;
    hostile += std::string(100000, '7') + "|2014 05 23.0|0.5|2.5|10|20|30|2000|40|1|2\n";
    hostile += std::string("nul") + '\0' + "|2014 05 23.0|0.5|2.5|10|20|30|2000|40|1|2\n";
    hostile += "\xff\xfe\x80|2014 05 23.0|0.5|2.5|10|20|30|2000|40|1|2\r\n";
    hostile += "|||||||||||||||\n\n\r\n";
    hostile += good2;
    TempDir dir;
    dir.write(nbFactory::UNUSUAL_FILE, hostile);
    nbFactory factory;
    EXPECT_EQ(factory.load_catalogues(dir.path(), false), 3u);
    ASSERT_NE(find(factory, "first"), nullptr);
    ASSERT_NE(find(factory, "second"), nullptr);
    EXPECT_EQ(find(factory, "second")->a(), 1.5);
    EXPECT_EQ(find(factory, "first")->a(), 2.5);
    EXPECT_NE(find(factory, "\xff\xfe\x80"), nullptr); // bytes kept as they are
}

// Lines of a body that could not be followed are left out and counted, and
// the first is named with its reason; the others are read as ever.
TEST(Catalogue, LinesBeyondThePhysicalBoundsAreCountedAndTheFirstNamed) {
    TempDir dir;
    dir.write(nbFactory::COMETS_FILE,
              "1P/Halley            |2000|19860209.4589|0.585978|0.967143|111.8657| 58.8601|"
              "162.2422\n"
              "C/2000 S1 (Inside)   |2000|20001208.5   |0.004000|0.999900|  1.0000|  2.0000|  "
              "3.0000\r\n"
              "C/2000 S2 (Deeper)   |2000|20001208.5   |0.000100|1.000000|  1.0000|  2.0000|  "
              "3.0000\n");
    nbFactory factory;
    const CatalogueFileRead read =
        factory.read_catalogue_file(dir.path(), nbFactory::COMETS_FILE, true);
    EXPECT_EQ(read.status, CatalogueFileRead::Status::Read);
    EXPECT_EQ(read.added, 1);
    EXPECT_EQ(read.refused, 2);
    EXPECT_EQ(read.first_refused, "C/2000_S1_(Inside): the perihelion distance 0.004 AU lies "
                                  "inside the Sun (below 0.00465 AU)");
    const CatalogueFileRead inspected =
        inspect_catalogue_file(dir.path() + "/" + nbFactory::COMETS_FILE, true);
    EXPECT_EQ(inspected.added, 1);
    EXPECT_EQ(inspected.refused, 2);
    EXPECT_EQ(names(factory), (std::map<std::string, int>{{"1P/Halley", 1}}));
}

TEST(Catalogue, AdoptKeepsOnlySetsWhoseBodyIsInTheSystem) {
    nbFactory factory;
    auto lost =
        std::make_unique<nbOrbitalElementsComet>("Nowhere", 3, 0.5, 1, 2, 3, 2451545.0, 2451544.5);
    EXPECT_FALSE(factory.adopt_elements(std::move(lost))); // no system yet
    nbSystem* system = factory.create_solar_system(2451545.0);
    auto comet =
        std::make_unique<nbOrbitalElementsComet>("Mine", 3, 0.5, 1, 2, 3, 2451545.0, 2451544.5);
    auto stray =
        std::make_unique<nbOrbitalElementsComet>("Stray", 3, 0.5, 1, 2, 3, 2451545.0, 2451544.5);
    system->add("Mine", comet->create_body(system->time()));
    EXPECT_TRUE(factory.adopt_elements(std::move(comet)));
    EXPECT_FALSE(factory.adopt_elements(std::move(stray)));
    EXPECT_EQ(factory.catalogue_size(), 1u);
    EXPECT_NE(find(factory, "Mine"), nullptr);
}

} // namespace
