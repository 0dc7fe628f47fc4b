#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "nbody/factory.h"
#include "nbody/near_index.h"
#include "nbody/planets.h"

namespace {

const double J2000 = 2451545.0;

std::vector<std::string> names(const nbSystem& s) {
    std::vector<std::string> out;
    for (const auto& entry : s)
        out.push_back(entry.first);
    return out;
}

// Counts its own destruction, to see that a rebuild deletes old bodies.
struct CountedBody : nbBody {
    CountedBody(const std::string& name, int& deaths)
        : nbBody(name, 1e10, 1, vec3d(1e12, 0, 0), vec3d()), deaths_(deaths) {}
    ~CountedBody() override { ++deaths_; }
    int& deaths_;
};

TEST(Factory, TheProcessHasOneFactoryBeforeMainStartsAndKeepsIt) {
    nbFactory* const process = the_factory;
    ASSERT_NE(process, nullptr);
    {
        nbFactory local;
        EXPECT_EQ(the_factory, &local);
    }
    // Tests make factories of their own: the process's one is named again.
    EXPECT_EQ(the_factory, process);
}

TEST(Factory, BuildsTheElevenBodiesOfTheSolarSystem) {
    init_default_graphics();
    nbFactory factory;
    EXPECT_EQ(factory.system(), nullptr);
    nbSystem* s = factory.create_solar_system(J2000);
    ASSERT_EQ(s, factory.system());
    EXPECT_EQ(s->time(), J2000);
    EXPECT_EQ(names(*s),
              (std::vector<std::string>{"Earth", "Jupiter", "Mars", "Mercury", "Moon", "Neptune",
                                        "Pluto", "Saturn", "Sun", "Uranus", "Venus"}));
    EXPECT_NE(dynamic_cast<nbBodySatellite*>(s->find("Moon")), nullptr);
    EXPECT_EQ(dynamic_cast<nbBodySatellite*>(s->find("Earth")), nullptr);

    const nbBody* earth = s->find("Earth");
    const vec3d series = planet_position(Planet::Earth, J2000);
    EXPECT_EQ(earth->position().x, series.x);
    EXPECT_EQ(earth->position().y, series.y);
    EXPECT_EQ(earth->position().z, series.z);
    EXPECT_NEAR(earth->velocity().length(), 3.0e4, 0.05e4);
    // Near perihelion (early January) the Earth moves at about 30.3 km/s.
    EXPECT_NEAR(earth->velocity().length(), 30.29e3, 0.1e3);
    // The Earth moves counter-clockwise seen from ecliptic north.
    EXPECT_GT(earth->position().cross(earth->velocity()).z, 0);

    const nbBody* moon = s->find("Moon");
    EXPECT_NEAR(moon->distance(*earth), 3.8e8, 0.3e8);
    // Relative to the Earth the Moon moves at about 1 km/s.
    EXPECT_NEAR((moon->velocity() - earth->velocity()).length(), 1.0e3, 0.1e3);

    EXPECT_EQ(s->find("Mercury")->mass(), 0.06 * 5.9736e24);
    EXPECT_EQ(s->find("Mercury")->mass(), 3.5841599999999996e23);
    EXPECT_EQ(s->find("Sun")->mass(), 1.9891000207439997e30);
    EXPECT_EQ(s->find("Jupiter")->display_radius(), 7.1492e7);

    const nbColour& mars = s->find("Mars")->graphics()->colour();
    EXPECT_EQ(mars.red(), 250);
    EXPECT_EQ(mars.green(), 40);
    EXPECT_EQ(mars.blue(), 20);
}

TEST(Factory, SunSitsNearTheBarycentreAtRestUntilMomentumIsZeroed) {
    nbFactory factory;
    nbSystem* s = factory.create_solar_system(J2000);
    const nbBody* sun = s->find("Sun");
    EXPECT_EQ(sun->velocity().x, 0);
    EXPECT_EQ(sun->velocity().y, 0);
    EXPECT_EQ(sun->velocity().z, 0);
    // The second pass brings the Sun from about 1.15e9 m to about 1.5e6 m.
    EXPECT_NEAR(barycentre_offset(J2000, vec3d()).length(), 1.15e9, 0.05e9);
    EXPECT_NEAR(sun->position().length(), 1.5e6, 0.5e6);

    s->zero_momentum();
    vec3d p;
    double speed_mass = 0;
    for (const auto& entry : *s) {
        p += entry.second->velocity() * entry.second->mass();
        speed_mass += entry.second->velocity().length() * entry.second->mass();
    }
    EXPECT_LT(p.length(), 1e-12 * speed_mass);
    EXPECT_NE(s->find("Sun")->velocity().length(), 0);
}

TEST(Factory, SecondBuildDeletesEveryBodyOfTheFirst) {
    nbFactory factory;
    int deaths = 0;
    factory.create_solar_system(J2000)->add("Tracker",
                                            std::make_unique<CountedBody>("Tracker", deaths));
    factory.create_solar_system(J2000 + 10);
    EXPECT_EQ(deaths, 1);
    EXPECT_EQ(factory.system()->find("Tracker"), nullptr);
    EXPECT_EQ(factory.system()->size(), 11u);
    factory.delete_system();
    EXPECT_EQ(factory.system(), nullptr);
}

TEST(Factory, NewStartDateRecreatesPresentCatalogueBodiesOnly) {
    nbFactory factory;
    nbSystem* s = factory.create_solar_system(J2000);
    // Two sets under one name, as when an object is in two files.
    auto present = std::make_unique<nbOrbitalElementsAsteroid>("Vesta", 2.36, 0.09, 7.1, 151.2,
                                                               103.8, J2000 - 100, J2000, 0);
    auto twin = std::make_unique<nbOrbitalElementsAsteroid>("Vesta", 2.36, 0.09, 7.1, 151.2, 103.8,
                                                            J2000 - 100, J2000, 0);
    auto removed = std::make_unique<nbOrbitalElementsComet>("Gone", 3, 0.5, 1, 2, 3, J2000, J2000);
    s->add("Vesta", present->create_body(J2000));
    s->add("Gone", removed->create_body(J2000));
    int deaths = 0;
    s->add("Tracker", std::make_unique<CountedBody>("Tracker", deaths));
    ASSERT_TRUE(factory.adopt_elements(std::move(present)));
    ASSERT_TRUE(factory.adopt_elements(std::move(twin)));
    ASSERT_TRUE(factory.adopt_elements(std::move(removed)));
    s->remove("Gone");

    const double later = J2000 + 365.25;
    factory.set_start_date(later);
    nbSystem* rebuilt = factory.system();
    EXPECT_EQ(rebuilt->time(), later);
    EXPECT_EQ(rebuilt->size(), 12u);
    EXPECT_EQ(rebuilt->find("Gone"), nullptr);
    EXPECT_EQ(rebuilt->find("Tracker"), nullptr); // not from the catalogue
    const nbBody* vesta = rebuilt->find("Vesta");
    ASSERT_NE(vesta, nullptr);
    EXPECT_EQ(vesta->graphics()->colour().green(), 0); // an asteroid's magenta
    const vec3d expected = elements_position(2.36, 0.09, 7.1, 151.2, 103.8, J2000 - 100, later);
    EXPECT_EQ(vesta->position().x, expected.x);
    EXPECT_EQ(factory.catalogue_size(), 3u);
    // The momentum is zeroed with the new bodies in.
    vec3d p;
    for (const auto& entry : *rebuilt)
        p += entry.second->velocity() * entry.second->mass();
    EXPECT_LT(p.length(), 1e-12 * 1.99e30 * 3e4);
}

// Every way in (the catalogue pages, the single-object page, the simulator)
// joins a set's body through the factory, so each refusal is made here once.
TEST(Factory, JoiningASetsBodyRefusesTakenNamesUnplaceableOrbitsAndTwins) {
    using Status = BodyJoin::Status;
    nbFactory factory;
    const nbOrbitalElementsAsteroid vesta("Vesta", 2.36, 0.089, 7.1, 151, 103.8, J2000 - 100, J2000,
                                          30);
    EXPECT_EQ(factory.join(vesta).status, Status::NoSystem);

    factory.create_solar_system(J2000);
    const std::size_t built = factory.system()->size();
    const nbOrbitalElementsAsteroid twin("Vesta_twin", 2.36, 0.089, 7.1, 151, 103.8, J2000 - 100,
                                         J2000, 30);
    const struct {
        const char* what;
        nbOrbitalElementsAsteroid set;
        Status status;
        const char* near;
    } cases[] = {
        {"a new body", vesta, Status::Joined, ""},
        {"the same name again", vesta, Status::NameTaken, ""},
        {"a built-in body's name",
         nbOrbitalElementsAsteroid("Mars", 2.5, 0.1, 1, 1, 1, J2000, J2000, 0), Status::NameTaken,
         ""},
        {"no name", nbOrbitalElementsAsteroid("", 2.5, 0.1, 1, 1, 1, J2000, J2000, 0),
         Status::Nameless, ""},
        {"an orbit beyond e = 1",
         nbOrbitalElementsAsteroid("Hyper", 2.5, 1.5, 1, 1, 1, J2000, J2000, 0),
         Status::Unplaceable, ""},
        {"the same elements under another name", twin, Status::TooClose, "Vesta"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const BodyJoin join = factory.join(c.set);
        EXPECT_EQ(join.status, c.status);
        EXPECT_EQ(join.name, c.set.name());
        EXPECT_EQ(join.near, c.near);
        EXPECT_EQ(join.body, nullptr) << "a joined or refused body is nobody's to keep";
    }
    EXPECT_EQ(factory.system()->size(), built + 1);
    ASSERT_NE(factory.system()->find("Vesta"), nullptr);
    const vec3d joined = factory.system()->find("Vesta")->position();
    const vec3d expected = factory.create_body(vesta, J2000)->position();
    EXPECT_TRUE(joined.x == expected.x && joined.y == expected.y && joined.z == expected.z)
        << "made at the system's date";
}

// The catalogue pages make every body first and add them afterwards: twins
// within one batch are told apart through the index, which learns each
// body that joins.
TEST(Factory, ABatchJoinsThroughTheNearIndexAndKeepsOnlyWhatJoined) {
    using Status = BodyJoin::Status;
    nbFactory factory;
    factory.create_solar_system(J2000);
    const nbOrbitalElementsAsteroid a("A", 2.7, 0.1, 3, 40, 50, J2000 - 10, J2000, 0);
    const nbOrbitalElementsAsteroid a_twin("A_twin", 2.7, 0.1, 3, 40, 50, J2000 - 10, J2000, 0);
    const nbOrbitalElementsAsteroid b("B", 2.9, 0.2, 5, 10, 20, J2000 - 30, J2000, 0);
    std::vector<BodyJoin> made;
    for (const nbOrbitalElementsAsteroid* set : {&a, &a_twin, &b, &a}) {
        made.push_back(factory.prepare_join(*set));
        EXPECT_EQ(made.back().status, Status::Made);
        EXPECT_NE(made.back().body, nullptr);
    }
    EXPECT_EQ(factory.system()->find("A"), nullptr) << "nothing joins before finish_join";

    nbNearIndex placed(*factory.system());
    for (BodyJoin& join : made)
        factory.finish_join(join, &placed);
    EXPECT_EQ(made[0].status, Status::Joined);
    EXPECT_EQ(made[1].status, Status::TooClose);
    EXPECT_EQ(made[1].near, "A");
    EXPECT_EQ(made[2].status, Status::Joined);
    // The second "A" sits on the first: closeness is checked before the name.
    EXPECT_EQ(made[3].status, Status::TooClose);
    EXPECT_EQ(placed.find(factory.system()->find("B")->position()), "B");

    // join_and_keep: the catalogue keeps a set whose body joined, no other.
    const std::size_t kept = factory.catalogue_size();
    EXPECT_EQ(factory.join_and_keep(std::make_unique<nbOrbitalElementsAsteroid>(b)).status,
              Status::NameTaken);
    EXPECT_EQ(factory.catalogue_size(), kept);
    const nbOrbitalElementsAsteroid c("C", 3.1, 0.05, 9, 70, 80, J2000 - 50, J2000, 0);
    EXPECT_EQ(factory.join_and_keep(std::make_unique<nbOrbitalElementsAsteroid>(c)).status,
              Status::Joined);
    EXPECT_EQ(factory.catalogue_size(), kept + 1);
    factory.set_start_date(J2000 + 10);
    EXPECT_NE(factory.system()->find("C"), nullptr) << "a kept set comes back at a new date";
    EXPECT_EQ(factory.system()->find("A"), nullptr);
}

} // namespace
